// Time to the first picture of a new video by each road, and the cached revisit against it, for
// the video given on the command line (a real one; `make bench` generates a ten-minute AVI):
//   - the media detector: probe, then the grab (where the grab is not implemented, as under Wine,
//     the time is what the road costs before the next one takes over);
//   - the external grabber "ffmpeg_vx.exe" beside this program: one new process, one frame;
//   - a new video's whole path (placeholder, extraction, cache) against its revisit from the cache.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Files.h"
#include "bench/Timing.h"
#include "thumbs/FrameGrab.h"
#include "thumbs/MediaProbe.h"
#include "thumbs/ThumbCache.h"
#include "thumbs/ThumbnailExtraction.h"
#include "ximage/CxImage.h"

namespace {

constexpr int kRounds = 3;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !FileExists(argv[1])) {
        fprintf(stderr, "usage: frame_bench VIDEO\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string folder = GetTempFolder() + "rembrix-frame-bench";
    CreateDirectoryA(folder.c_str(), nullptr);

    MediaInfo info;
    bool probed = ProbeMedia(argv[1], &info, nullptr);
    printf("video: %s, %.0f s, %d x %d\n", probed ? "probed" : "not probed", info.duration, info.width, info.height);
    fflush(stdout);

    std::vector<double> detector, external, first, revisit;
    int detectorFrames = 0, externalFrames = 0, firstPictures = 0, revisitPictures = 0;
    for (int round = 0; round < kRounds; ++round) {
        double start = Seconds();
        HBITMAP bitmap = GrabFrameDirectShow(argv[1], kDefaultGrabTime);
        detector.push_back(Seconds() - start);
        detectorFrames += bitmap != nullptr;
        if (bitmap) DeleteObject(bitmap);

        start = Seconds();
        bitmap = GrabFrameExternal(argv[1]);
        external.push_back(Seconds() - start);
        externalFrames += bitmap != nullptr;
        if (bitmap) DeleteObject(bitmap);

        // A copy under a new name is a video never seen before.
        std::string copy = folder + "\\clip" + std::to_string(round) + ".avi";
        CopyFileA(argv[1], copy.c_str(), FALSE);
        ThumbCache cache;
        CxImage image;
        start = Seconds();
        cache.Open(folder);
        firstPictures += GetVideoThumbnail(copy.c_str(), &cache, 160, 90, image) == S_OK && image.IsValid();
        cache.Flush();
        first.push_back(Seconds() - start);
        cache.Close();

        ThumbCache again;
        CxImage cached;
        start = Seconds();
        again.Open(folder);
        revisitPictures += GetVideoThumbnail(copy.c_str(), &again, 160, 90, cached) == S_OK && cached.IsValid();
        revisit.push_back(Seconds() - start);
    }
    printf("media detector:   %7.1f ms to %s (%d of %d frames)\n", Median(detector) * 1000,
           detectorFrames ? "a frame" : "give up", detectorFrames, kRounds);
    printf("external grabber: %7.1f ms to a frame (%d of %d frames)\n", Median(external) * 1000, externalFrames,
           kRounds);
    printf("new video:        %7.1f ms to its picture, cached (%d of %d)\n", Median(first) * 1000, firstPictures,
           kRounds);
    printf("revisit:          %7.1f ms from the cache (%d of %d): %.0f times faster\n", Median(revisit) * 1000,
           revisitPictures, kRounds, Median(first) / Median(revisit));

    std::vector<std::string> files;
    ListFolder(folder, "*", files, false, false);
    for (const std::string& file : files) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
