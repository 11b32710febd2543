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

void ThumbnailPipeline::Queue(std::vector<Job>&& jobs) {
    size_t sortedUpTo = awaited_.size();
    for (const Job& job : jobs) awaited_.emplace_back(job.request.serial, job.entry);
    awaitedCount_ += jobs.size();
    if (sortedUpTo > 0 && sortedUpTo < awaited_.size() && awaited_[sortedUpTo].first < awaited_[sortedUpTo - 1].first)
        std::sort(awaited_.begin(), awaited_.end());
    worker_.Lock();
    if (next_ == queue_.size()) {
        queue_.swap(jobs);
        next_ = 0;
    } else {
        queue_.insert(queue_.end(), jobs.begin(), jobs.end());
    }
    worker_.Unlock();
    workEvent_.Set();
    Keep(std::move(jobs));
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
    awaited_.clear();
    awaitedCount_ = 0;
    workEvent_.Reset();
    std::vector<Job> dropped;
    worker_.Lock();
    queue_.swap(dropped);
    next_ = 0;
    worker_.Unlock();
    Keep(std::move(dropped));
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;  // made anew when a picture comes
    used_ = slots_ = 0;
    width_ = width;
    height_ = height;
}

int ThumbnailPipeline::Claim(uint32_t serial) {
    // Only the worker adds to the count; a result that it did not post counts for nothing.
    if (inFlight_ > 0) --inFlight_;
    taken_.Set();
    auto found = std::lower_bound(awaited_.begin(), awaited_.end(), std::make_pair(serial, INT_MIN));
    if (found == awaited_.end() || found->first != serial || found->second < 0) return -1;
    int entry = found->second;
    found->second = -1;
    --awaitedCount_;
    return entry;
}

int ThumbnailPipeline::Add(uint32_t serial, HBITMAP received) {
    OwnedBitmap picture(received);
    BITMAP info;
    if (!received || !GetObjectA(received, sizeof(info), &info) || !MakeRoom()) return -1;
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

    if (!ImageList_Replace(images_, used_, colour, mask)) return -1;
    index_[serial] = used_;
    return used_++;
}

bool ThumbnailPipeline::MakeRoom() {
    if (width_ <= 0 || height_ <= 0) return false;
    if (!images_) images_ = ImageList_Create(width_, height_, ILC_COLORDDB | ILC_MASK, 0, kImageGrowth);
    if (!images_) return false;
    if (used_ < slots_) return true;
    int room = slots_ ? slots_ * 2 : kFirstImages;
    if (!ImageList_SetImageCount(images_, room)) return false;
    slots_ = room;
    return true;
}

int ThumbnailPipeline::FindThumbnail(uint32_t serial) const {
    auto found = index_.find(serial);
    return found == index_.end() ? -1 : found->second;
}

size_t ThumbnailPipeline::Pending() const {
    worker_.Lock();
    size_t count = queue_.size() - next_;
    worker_.Unlock();
    return count;
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
            worker_.Lock();
            idle = next_ == queue_.size();
            if (idle) {
                workEvent_.Reset();
            } else {
                request = queue_[next_++].request;
            }
            worker_.Unlock();
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
    if (SUCCEEDED(com)) CoUninitialize();
}
