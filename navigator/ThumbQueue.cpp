// The Navigator's side of the thumbnail pipeline: what a track list asks for, what arrives, and
// where it is drawn.
#include <cstring>

#include "navigator/NavigatorWnd.h"

void NavigatorWnd::StartThumbnailWorker() { thumbnails.Start(Handle()); }

void NavigatorWnd::StopThumbnailWorker() { thumbnails.Stop(); }

void NavigatorWnd::QueueThumbnails() {
    if (discMode || !loaded.thumbnails) return;
    Geometry layout = Layout();
    std::vector<ThumbnailPipeline::Job> jobs = thumbnails.TakeJobArray();
    jobs.reserve(entries.size());
    const int width = layout.ThumbWidth(), height = layout.ThumbHeight();
    for (int i = 0; i < Count(); ++i) {
        const NavigatorEntry& entry = entries[i];
        // A path the request cannot hold whole gets no picture: it keeps its placeholder.
        if (entry.path.size() >= sizeof(ThumbRequest::path)) continue;
        jobs.emplace_back();
        ThumbnailPipeline::Job& job = jobs.back();
        job.entry = i;
        memcpy(job.request.path, entry.path.data(), entry.path.size() + 1);  // with its terminator
        job.request.serial = entry.serial;
        job.request.width = width;
        job.request.height = height;
    }
    thumbnails.Queue(std::move(jobs));
}

void NavigatorWnd::ResetThumbnails() {
    Geometry layout = Layout();
    thumbnails.Reset(layout.ThumbWidth(), layout.ThumbHeight());
}

void NavigatorWnd::OnThumbnailReady(uint32_t serial, HBITMAP bitmap) {
    int index = thumbnails.Claim(serial);
    if (index < 0 || index >= Count() || entries[index].serial != serial) {
        // The list was replaced or hidden meanwhile.
        if (bitmap) DeleteObject(bitmap);
        return;
    }
    if (!bitmap) {
        // No picture: the placeholder stays until the list is loaded again.
        entries[index].serial = 0;
        return;
    }
    if (thumbnails.Add(serial, bitmap) < 0) return;
    int slot = index - top;
    if (slot < 0 || slot >= perPage) return;  // drawn when its page is
    RECT frame = ToRect(Layout().ThumbFrameRect(slot));
    InvalidateRect(Handle(), &frame, FALSE);
}

bool NavigatorWnd::DrawThumbnailImage(HDC dc, int index) {
    int image = thumbnails.FindThumbnail(entries[index].serial);
    if (image < 0) return false;
    Geometry layout = Layout();
    Rect frame = layout.ThumbFrameRect(index - top);
    int pad = layout.ThumbPad();
    return ImageList_Draw(thumbnails.Images(), image, dc, frame.left + pad, frame.top + pad, ILD_NORMAL) != FALSE;
}
