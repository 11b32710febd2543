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
    // Appends the jobs to the queue, in order, and wakes the worker.
    void Queue(std::vector<Job>&& jobs);
    // Forgets every queued job and picture; the next jobs get a new image list for pictures of
    // width x height. Never waits for a picture being made: one that arrives later is refused.
    void Reset(int width, int height);
    // For every result received: the entry that it was asked for, or -1 when it is no longer
    // wanted. Each result is claimed once.
    int Claim(uint32_t serial);
    // Centres the bitmap, unscaled, on a black picture of the thumbnail size whose margins are
    // transparent, adds that to the image list, and deletes the bitmap. The new index, or -1.
    // The image list is made with the first picture and its room doubles as they arrive, so that a
    // list whose pictures do not come costs no picture memory.
    int Add(uint32_t serial, HBITMAP bitmap);

    // The image of `serial` in the image list, or -1.
    int FindThumbnail(uint32_t serial) const;
    HIMAGELIST Images() const { return images_; }  // null until a picture arrives
    int Pictures() const { return used_; }  // in the image list
    size_t Pending() const;  // requests not yet taken by the worker
    size_t Awaited() const { return awaitedCount_; }  // results not yet received
    size_t InFlight() const { return inFlight_; }  // results posted and not yet received

private:
    friend unsigned __stdcall ThumbnailWorker(void* argument);
    void Work();
    void Keep(std::vector<Job>&& jobs);
    bool MakeRoom();

    HWND window_ = nullptr;
    WorkerThread worker_;
    SyncEvent workEvent_;                // manual reset: requests are waiting
    SyncEvent cancel_;                   // manual reset: the worker's slow waits end
    SyncEvent taken_;                    // auto reset: the window received a result
    std::atomic<size_t> inFlight_{0};
    std::vector<Job> queue_;             // under the worker's lock, taken from `next_` on
    size_t next_ = 0;
    std::vector<Job> spare_;             // an emptied queue, kept for its memory
    HIMAGELIST images_ = nullptr;
    int used_ = 0;   // pictures in the image list
    int slots_ = 0;  // its room
    int width_ = 0;
    int height_ = 0;
    std::unordered_map<uint32_t, int> index_;    // serial -> image
    // (serial, entry) by serial, for the results asked for; the entry is -1 once claimed. A list's
    // serials rise with its entries, so this is a sorted array rather than a map.
    std::vector<std::pair<uint32_t, int>> awaited_;
    size_t awaitedCount_ = 0;
};

unsigned __stdcall ThumbnailWorker(void* argument);
