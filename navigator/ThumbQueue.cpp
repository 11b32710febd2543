// The Navigator's side of the thumbnail pipeline: what a track list asks for, and what arrives.
#include <algorithm>
#include <cstring>

#include "navigator/NavigatorWnd.h"

void NavigatorWnd::QueueThumbnails() {
    if (list_.Disc() || !painter_.Look().thumbnails) return;
    Geometry layout = Layout();
    // Only audio and video files can give a picture; a path the request cannot hold whole gets
    // none either. The others keep their placeholders and cost no job.
    auto wanted = [](const NavigatorEntry& entry) {
        return entry.kind != KindOther && entry.path.size() < sizeof(ThumbRequest::path);
    };
    std::vector<ThumbnailPipeline::Job> jobs = thumbnails_.TakeJobArray();
    jobs.reserve(std::count_if(list_.Entries().begin(), list_.Entries().end(), wanted));
    const int width = layout.ThumbWidth(), height = layout.ThumbHeight();
    for (int i = 0; i < Count(); ++i) {
        const NavigatorEntry& entry = list_.Entries()[i];
        if (!wanted(entry)) continue;
        jobs.emplace_back();
        ThumbnailPipeline::Job& job = jobs.back();
        job.entry = i;
        memcpy(job.request.path, entry.path.data(), entry.path.size() + 1);  // with its terminator
        job.request.serial = entry.serial;
        job.request.width = width;
        job.request.height = height;
    }
    thumbnails_.Queue(std::move(jobs), list_.Top(), list_.Layout().perPage);
}

void NavigatorWnd::FollowPage() {
    if (list_.Mode() == Tracks) thumbnails_.ShowPage(list_.Top(), list_.Layout().perPage);
}

void NavigatorWnd::ResetThumbnails() {
    Geometry layout = Layout();
    thumbnails_.Reset(layout.ThumbWidth(), layout.ThumbHeight());
}

void NavigatorWnd::OnThumbnailReady(uint32_t serial, HBITMAP bitmap) {
    int index = thumbnails_.Claim(serial, bitmap != nullptr);
    if (index < 0 || index >= Count() || list_.Entries()[index].serial != serial) {
        // The list was replaced or hidden meanwhile.
        if (bitmap) DeleteObject(bitmap);
        return;
    }
    if (!bitmap) {
        // No picture: the placeholder stays until the list is loaded again.
        list_.ForgetThumbnail(index);
        return;
    }
    if (thumbnails_.Add(serial, bitmap) < 0) return;
    if (!list_.OnPage(index)) return;  // drawn when its page is
    RECT frame = ToRect(Layout().ThumbFrameRect(index - list_.Top()));
    InvalidateRect(Handle(), &frame, FALSE);
}
