#include "navigator/ThumbnailPipeline.h"

#include <objbase.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/Gdi.h"
#include "base/Paths.h"
#include "thumbs/FrameGrab.h"
#include "thumbs/MediaProbe.h"
#include "thumbs/ThumbCache.h"
#include "thumbs/ThumbnailExtraction.h"
#include "ximage/WicCodec.h"

namespace {

constexpr int kStopLimitMs = 3000;
constexpr DWORD kIdleStopWaitMs = 5;
constexpr DWORD kWorkWaitMs = 50;
constexpr int kFirstImages = 16;
constexpr int kImageGrowth = 1;  // beyond the count asked for: room is asked for in doublings

}  // namespace

ThumbnailPipeline::~ThumbnailPipeline() {
    Stop();
}

bool ThumbnailPipeline::Start(HWND window) {
    window_ = window;
    // Requests queued before the start must not wait for the next list.
    if (!workEvent_.Create(true, Pending() > 0) || !cancel_.Create(true, false) || !taken_.Create(false, false))
        return false;
    if (!worker_.Start(ThumbnailWorker, this)) return false;
    worker_.SetPriority(THREAD_PRIORITY_BELOW_NORMAL);
    return true;
}

void ThumbnailPipeline::Stop() {
    // A picture being made by a hanging grabber is given up at once, rather than the thread.
    cancel_.Set();
    bool ran = worker_.IsRunning();
    worker_.Stop(kStopLimitMs);
    // A media-stack grab given up on, or a worker that had to be ended, may have left the player's
    // decoders believing a grab runs.
    if (ran) SetConvertingFlag(false);
    workEvent_.Close();
    cancel_.Close();
    taken_.Close();
    Reset(0, 0);
    // Results posted but never received still own their bitmaps.
    MSG msg;
    while (window_ && PeekMessageA(&msg, window_, kThumbnailReadyMessage, kThumbnailReadyMessage, PM_REMOVE))
        if (msg.lParam) DeleteObject(reinterpret_cast<HBITMAP>(msg.lParam));
    inFlight_ = 0;
    window_ = nullptr;
}

void ThumbnailPipeline::Queue(std::vector<Job>&& jobs, int top, int perPage) {
    std::vector<int> entries;
    entries.reserve(jobs.size());
    for (const Job& job : jobs) entries.push_back(job.entry);
    {
        auto hold = worker_.Hold();
        if (jobs_.empty()) {
            jobs_.swap(jobs);
        } else {
            // Entries already asked for are not asked for twice.
            for (const Job& job : jobs)
                if (job.entry > jobs_.back().entry) jobs_.push_back(job);
        }
        schedule_.Add(entries);
        schedule_.Show(top, perPage, nullptr);
    }
    shownTop_ = top;
    shownPerPage_ = perPage;
    workEvent_.Set();
    jobs.clear();
    Keep(std::move(jobs));
}

void ThumbnailPipeline::ShowPage(int top, int perPage) {
    if (top == shownTop_ && perPage == shownPerPage_) return;
    shownTop_ = top;
    shownPerPage_ = perPage;
    std::vector<int> letGo;
    bool waiting;
    {
        auto hold = worker_.Hold();
        schedule_.Show(top, perPage, &letGo);
        waiting = schedule_.Queued() > 0;
    }
    for (int job : letGo) {
        auto found = index_.find(jobs_[job].request.serial);
        if (found == index_.end()) continue;
        free_.push_back(found->second);
        index_.erase(found);
    }
    if (waiting) workEvent_.Set();
}

std::vector<ThumbnailPipeline::Job> ThumbnailPipeline::TakeJobArray() {
    std::vector<Job> jobs;
    jobs.swap(spare_);
    jobs.clear();
    return jobs;
}

void ThumbnailPipeline::Keep(std::vector<Job>&& jobs) {
    if (jobs.capacity() > spare_.capacity()) spare_ = std::move(jobs);
}

void ThumbnailPipeline::Reset(int width, int height) {
    index_.clear();
    free_.clear();
    workEvent_.Reset();
    std::vector<Job> dropped;
    {
        auto hold = worker_.Hold();
        jobs_.swap(dropped);
        schedule_.Clear();
    }
    shownTop_ = -1;
    shownPerPage_ = 0;
    Keep(std::move(dropped));
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;  // made anew when a picture comes
    used_ = slots_ = 0;
    width_ = width;
    height_ = height;
}

int ThumbnailPipeline::JobOf(uint32_t serial) const {
    auto found = std::lower_bound(jobs_.begin(), jobs_.end(), serial,
                                  [](const Job& job, uint32_t s) { return job.request.serial < s; });
    return found == jobs_.end() || found->request.serial != serial ? -1 : static_cast<int>(found - jobs_.begin());
}

int ThumbnailPipeline::Claim(uint32_t serial, bool picture) {
    // Only the worker adds to the count; a result that it did not post counts for nothing.
    if (inFlight_ > 0) --inFlight_;
    taken_.Set();
    int job = JobOf(serial);
    if (job < 0) return -1;
    auto hold = worker_.Hold();
    if (schedule_.StateOf(job) != ThumbSchedule::State::Taken) return -1;
    schedule_.Arrived(job, picture);
    return jobs_[job].entry;
}

int ThumbnailPipeline::Add(uint32_t serial, HBITMAP received) {
    OwnedBitmap picture(received);
    BITMAP info;
    int job = JobOf(serial);
    // Only the window's thread changes a Kept job.
    if (job < 0 || schedule_.StateOf(job) != ThumbSchedule::State::Kept) return -1;
    if (!received || !GetObjectA(received, sizeof(info), &info)) return -1;
    const int slot = MakeRoom();
    if (slot < 0) return -1;
    const int tw = width_, th = height_, bw = info.bmWidth, bh = info.bmHeight;
    const int dx = (tw - bw) / 2, dy = (th - bh) / 2;

    // The picture centred on black, read out of the received bitmap once and written into the
    // new one once: two calls rather than a blit between two selected bitmaps.
    std::vector<uint32_t> pixels(static_cast<size_t>(tw) * th, 0);
    std::vector<uint32_t> source(static_cast<size_t>(bw) * bh);
    BITMAPINFO sourceFormat = TopDownBitmapInfo(bw, bh);
    BITMAPINFO format = TopDownBitmapInfo(tw, th);
    HDC screen = GetDC(nullptr);
    bool read = GetDIBits(screen, received, 0, bh, source.data(), &sourceFormat, DIB_RGB_COLORS) == bh;
    const int x0 = std::max(0, dx), x1 = std::min(tw, dx + bw);
    for (int y = std::max(0, dy); read && x1 > x0 && y < std::min(th, dy + bh); ++y)
        memcpy(&pixels[static_cast<size_t>(y) * tw + x0], &source[static_cast<size_t>(y - dy) * bw + (x0 - dx)],
               (x1 - x0) * sizeof(uint32_t));
    OwnedBitmap colour(read ? CreateDIBitmap(screen, &format.bmiHeader, CBM_INIT, pixels.data(), &format, DIB_RGB_COLORS)
                       : nullptr);
    ReleaseDC(nullptr, screen);

    // The mask: opaque (0) where the picture lies, transparent (1) in the four margins. Rows of a
    // one-bit bitmap are whole 16-bit words, the leftmost pixel in the top bit.
    const int stride = (tw + 15) / 16 * 2;
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * th, 0);
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
            if (y < dy || y >= th - dy - 1 || x < dx || x >= tw - dx - 1)
                bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    OwnedBitmap mask(CreateBitmap(tw, th, 1, 1, bits.data()));
    if (!colour || !mask) return -1;

    if (!ImageList_Replace(images_, slot, colour, mask)) return -1;
    if (!free_.empty() && free_.back() == slot)
        free_.pop_back();
    else
        ++used_;
    index_[serial] = slot;
    return slot;
}

int ThumbnailPipeline::MakeRoom() {
    if (!free_.empty()) return free_.back();
    if (width_ <= 0 || height_ <= 0) return -1;
    if (!images_) images_ = ImageList_Create(width_, height_, ILC_COLORDDB | ILC_MASK, 0, kImageGrowth);
    if (!images_) return -1;
    if (used_ < slots_) return used_;
    int room = std::max(std::min(slots_ ? slots_ * 2 : kFirstImages, schedule_.KeptRoom()), used_ + 1);
    if (!ImageList_SetImageCount(images_, room)) return -1;
    slots_ = room;
    return used_;
}

int ThumbnailPipeline::FindThumbnail(uint32_t serial) const {
    auto found = index_.find(serial);
    return found == index_.end() ? -1 : found->second;
}

size_t ThumbnailPipeline::Pending() const {
    auto hold = worker_.Hold();
    return schedule_.Queued();
}

size_t ThumbnailPipeline::Awaited() const {
    auto hold = worker_.Hold();
    return schedule_.Awaited();
}

unsigned __stdcall ThumbnailWorker(void* argument) {
    try {
        static_cast<ThumbnailPipeline*>(argument)->Work();
    } catch (...) {
        // Never into the runtime's thread start: the worker ends, and its owner stops it as ever.
    }
    return 0;
}

namespace {

// The picture of one request; a job that throws (no memory for it, say) fails as a picture that
// could not be made, and the next job is tried.
HBITMAP MakePicture(const ThumbRequest& request, ThumbCache& cache) {
    try {
        cache.Open(GetFolderPart(request.path));
        return MakeThumbnailBitmap(request, &cache);
    } catch (...) {
        return nullptr;
    }
}

// A flush that throws loses what it would have written, not the worker.
void CloseQuietly(ThumbCache& cache) {
    try {
        cache.Close();
    } catch (...) {
    }
}

}  // namespace

void ThumbnailPipeline::Work() {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetExtractionCancelEvent(cancel_.Handle());
    {
        // One imaging factory for every picture, released before COM is.
        WicThreadFactory factory;
        ThumbCache cache;
        DWORD stopWait = kIdleStopWaitMs;
        for (;;) {
            if (worker_.StopRequested(stopWait)) break;
            if (inFlight_ >= kMaxResultsInFlight) {  // until the window takes some
                taken_.Wait(kWorkWaitMs);
                stopWait = 0;
                continue;
            }
            // The request is copied out and the lock released before the picture is made, so that the
            // window's thread never waits for a slow extraction.
            bool idle = !workEvent_.Wait(kWorkWaitMs);
            ThumbRequest request;
            if (!idle) {
                auto hold = worker_.Hold();
                int job = schedule_.Next();
                idle = job < 0;
                if (idle)
                    workEvent_.Reset();
                else
                    request = jobs_[job].request;
            }
            if (idle) {
                // Also after a reset dropped the queue under the worker: what was added reaches the disk.
                CloseQuietly(cache);
                stopWait = kIdleStopWaitMs;
                continue;
            }

            HBITMAP bitmap = MakePicture(request, cache);
            ++inFlight_;  // before the window can receive it
            if (!PostMessageA(window_, kThumbnailReadyMessage, request.serial, reinterpret_cast<LPARAM>(bitmap))) {
                --inFlight_;
                if (bitmap) DeleteObject(bitmap);
            }
            // While requests wait, the stop event is only polled between them.
            stopWait = 0;
        }
        CloseQuietly(cache);
    }
    if (SUCCEEDED(com)) CoUninitialize();
}
