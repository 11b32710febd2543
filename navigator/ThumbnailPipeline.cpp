#include "navigator/ThumbnailPipeline.h"

#include <objbase.h>

#include "base/Paths.h"
#include "thumbs/ThumbCache.h"
#include "thumbs/ThumbnailExtraction.h"

namespace {

constexpr int kStopLimitMs = 3000;
constexpr DWORD kIdleStopWaitMs = 5;
constexpr DWORD kWorkWaitMs = 50;

class MemoryDC {
public:
    explicit MemoryDC(HGDIOBJ bitmap) : dc_(CreateCompatibleDC(nullptr)), old_(SelectObject(dc_, bitmap)) {}
    ~MemoryDC() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

class Bitmap {
public:
    explicit Bitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~Bitmap() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    operator HBITMAP() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

void FillBand(HDC dc, int left, int top, int right, int bottom, DWORD rop) {
    if (right > left && bottom > top) PatBlt(dc, left, top, right - left, bottom - top, rop);
}

}  // namespace

ThumbnailPipeline::~ThumbnailPipeline() {
    Stop();
}

bool ThumbnailPipeline::Start(HWND window) {
    window_ = window;
    // Requests queued before the start must not wait for the next list.
    if (!workEvent_.Create(true, Pending() > 0)) return false;
    if (!worker_.Start(ThumbnailWorker, this)) return false;
    worker_.SetPriority(THREAD_PRIORITY_BELOW_NORMAL);
    return true;
}

void ThumbnailPipeline::Stop() {
    worker_.Stop(kStopLimitMs);
    workEvent_.Close();
    Reset(0, 0);
    // Results posted but never received still own their bitmaps.
    MSG msg;
    while (window_ && PeekMessageA(&msg, window_, kThumbnailReadyMessage, kThumbnailReadyMessage, PM_REMOVE))
        if (msg.lParam) DeleteObject(reinterpret_cast<HBITMAP>(msg.lParam));
    window_ = nullptr;
}

void ThumbnailPipeline::Queue(const std::vector<Job>& jobs) {
    for (const Job& job : jobs) awaited_[job.request.serial] = job.entry;
    worker_.Lock();
    for (const Job& job : jobs) queue_.push_back(job.request);
    worker_.Unlock();
    workEvent_.Set();
}

void ThumbnailPipeline::Reset(int width, int height) {
    index_.clear();
    awaited_.clear();
    workEvent_.Reset();
    std::deque<ThumbRequest> dropped;
    worker_.Lock();
    queue_.swap(dropped);
    worker_.Unlock();
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;
    width_ = width;
    height_ = height;
    if (width > 0 && height > 0) images_ = ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 0, 1);
}

int ThumbnailPipeline::Claim(uint32_t serial) {
    auto found = awaited_.find(serial);
    if (found == awaited_.end()) return -1;
    int entry = found->second;
    awaited_.erase(found);
    return entry;
}

int ThumbnailPipeline::Add(uint32_t serial, HBITMAP received) {
    Bitmap picture(received);
    BITMAP info;
    if (!images_ || !received || !GetObjectA(received, sizeof(info), &info)) return -1;
    int tw = width_, th = height_;
    int dx = (tw - info.bmWidth) / 2, dy = (th - info.bmHeight) / 2;

    HDC screen = GetDC(nullptr);
    Bitmap colour(CreateCompatibleBitmap(screen, tw, th));
    ReleaseDC(nullptr, screen);
    Bitmap mask(CreateBitmap(tw, th, 1, 1, nullptr));
    if (!colour || !mask) return -1;
    {
        MemoryDC source(received), target(colour);
        PatBlt(target, 0, 0, tw, th, BLACKNESS);
        BitBlt(target, dx, dy, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    }
    {
        // Opaque (0) where the picture lies, transparent (1) in the four margins.
        MemoryDC bits(mask);
        PatBlt(bits, 0, 0, tw, th, BLACKNESS);
        FillBand(bits, 0, 0, tw, dy, WHITENESS);
        FillBand(bits, 0, th - dy - 1, tw, th, WHITENESS);
        FillBand(bits, 0, 0, dx, th, WHITENESS);
        FillBand(bits, tw - dx - 1, 0, tw, th, WHITENESS);
    }
    int index = ImageList_Add(images_, colour, mask);
    if (index >= 0) index_[serial] = index;
    return index;
}

int ThumbnailPipeline::FindThumbnail(uint32_t serial) const {
    auto found = index_.find(serial);
    return found == index_.end() ? -1 : found->second;
}

size_t ThumbnailPipeline::Pending() {
    worker_.Lock();
    size_t count = queue_.size();
    worker_.Unlock();
    return count;
}

unsigned __stdcall ThumbnailWorker(void* argument) {
    static_cast<ThumbnailPipeline*>(argument)->Work();
    return 0;
}

void ThumbnailPipeline::Work() {
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ThumbCache cache;
    DWORD stopWait = kIdleStopWaitMs;
    for (;;) {
        if (worker_.StopRequested(stopWait)) break;
        if (!workEvent_.Wait(kWorkWaitMs)) {
            stopWait = kIdleStopWaitMs;
            continue;
        }
        worker_.Lock();
        if (queue_.empty()) {
            workEvent_.Reset();
            worker_.Unlock();
            cache.Close();
            stopWait = kIdleStopWaitMs;
            continue;
        }
        // The request is copied out and the lock released before the picture is made, so that the
        // window's thread never waits for a slow extraction.
        ThumbRequest request = queue_.front();
        queue_.pop_front();
        worker_.Unlock();

        cache.Open(GetFolderPart(request.path));
        HBITMAP bitmap = MakeThumbnailBitmap(request, &cache);
        if (!PostMessageA(window_, kThumbnailReadyMessage, request.serial, reinterpret_cast<LPARAM>(bitmap)) && bitmap)
            DeleteObject(bitmap);
        // While requests wait, the stop event is only polled between them.
        stopWait = 0;
    }
    cache.Close();
    if (SUCCEEDED(com)) CoUninitialize();
}
