// The thumbnail pipeline of the track list: the queue of requests, the worker thread that makes
// one picture at a time, and the image list that keeps the finished pictures by entry serial.
// Everything but the worker runs on the window's thread; the two meet only at the queue, under
// the worker's lock, and through posted messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/SyncEvent.h"
#include "base/WorkerThread.h"
#include "navigator/ThumbSchedule.h"
#include "thumbs/ThumbRequest.h"

// Posted by the worker: wParam the serial, lParam the bitmap (owned by the receiver) or 0.
constexpr UINT kThumbnailReadyMessage = WM_APP + 0xC13;
// Results posted and not yet received, at most: a window whose thread stalls cannot have its
// message queue or the process's GDI quota filled with pictures.
constexpr size_t kMaxResultsInFlight = 256;

class ThumbnailPipeline {
public:
    // A request and the index of the entry it is for.
    struct Job {
        int entry;
        ThumbRequest request;
    };

    ThumbnailPipeline() = default;
    ~ThumbnailPipeline();
    ThumbnailPipeline(const ThumbnailPipeline&) = delete;
    ThumbnailPipeline& operator=(const ThumbnailPipeline&) = delete;

    // Starts the worker at below-normal priority; its results are posted to `window`.
    bool Start(HWND window);
    // Stops the worker (terminated after 3,000 ms) and frees every picture, also those posted and
    // not yet received.
    void Stop();

    // An empty array to fill with jobs for Queue: the memory of an earlier queue, reused because
    // fresh memory costs more to touch than the jobs cost to make.
    std::vector<Job> TakeJobArray();
    // Adds the jobs, in list order, for entries not asked for yet, orders the queue for the page
    // [top, top + perPage) and wakes the worker.
    void Queue(std::vector<Job>&& jobs, int top, int perPage);
    // The page shown changed: its pictures are made first, and those of pages far from it let go.
    void ShowPage(int top, int perPage);
    // Forgets every queued job and picture; the next jobs get a new image list for pictures of
    // width x height. Never waits for a picture being made: one that arrives later is refused.
    void Reset(int width, int height);
    // For every result received: the entry that it was asked for, or -1 when it is no longer
    // wanted. Each result is claimed once.
    int Claim(uint32_t serial, bool picture);
    // Centres the bitmap, unscaled, on a black picture of the thumbnail size whose margins are
    // transparent, adds that to the image list, and deletes the bitmap. The new index, or -1, also
    // when the entry's page is too far from the one shown to keep it.
    // The image list is made with the first picture and its room doubles as they arrive, up to
    // what the kept pages hold, so that a list whose pictures do not come costs no picture memory
    // and a long list no more than a short one.
    int Add(uint32_t serial, HBITMAP bitmap);

    // The image of `serial` in the image list, or -1.
    int FindThumbnail(uint32_t serial) const;
    HIMAGELIST Images() const { return images_; }  // null until a picture arrives
    int Pictures() const { return used_ - static_cast<int>(free_.size()); }  // in the image list
    size_t Pending() const;  // requests not yet taken by the worker
    size_t Awaited() const;  // results not yet received
    size_t InFlight() const { return inFlight_; }  // results posted and not yet received

private:
    friend unsigned __stdcall ThumbnailWorker(void* argument);
    void Work();
    void Keep(std::vector<Job>&& jobs);
    int MakeRoom();
    int JobOf(uint32_t serial) const;

    HWND window_ = nullptr;
    WorkerThread worker_;
    SyncEvent workEvent_;                // manual reset: requests are waiting
    SyncEvent cancel_;                   // manual reset: the worker's slow waits end
    SyncEvent taken_;                    // auto reset: the window received a result
    std::atomic<size_t> inFlight_{0};
    // The jobs by number, in list order; changed by the window's thread under the worker's lock.
    // A list's serials rise with its entries, so a result finds its job by serial in them.
    std::vector<Job> jobs_;
    ThumbSchedule schedule_;             // under the worker's lock
    std::vector<Job> spare_;             // an emptied job array, kept for its memory
    int shownTop_ = -1;
    int shownPerPage_ = 0;
    HIMAGELIST images_ = nullptr;
    int used_ = 0;   // images in the image list
    int slots_ = 0;  // its room
    std::vector<int> free_;  // images let go, to be used again
    int width_ = 0;
    int height_ = 0;
    std::unordered_map<uint32_t, int> index_;    // serial -> image
};

unsigned __stdcall ThumbnailWorker(void* argument);
