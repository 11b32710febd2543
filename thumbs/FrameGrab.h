// A video's frame, through the system's media detector on a thread that may be given up, or through
// the external frame grabber. Runs on the thumbnail worker.
#pragma once

#include <windows.h>

class CxImage;

constexpr double kDefaultGrabTime = -1.0;  // the middle of the stream

// What a frame grab came to: a frame; none because the file defeated it; or none because the
// thread was asked to stop first, which says nothing about the file.
enum class GrabOutcome { Frame, Failed, Stopped };

// A frame of the video at `time` seconds (negative: the default position). A grab whose media
// detector hung counts as failed, whatever follows.
GrabOutcome GrabFrame(const char* path, double time, CxImage& image);
// A frame five seconds in, made by the external program "ffmpeg_vx.exe" (searched for beside the
// host program, in the system folder, the Windows folder and the absolute folders of PATH, never
// in the current folder, where a planted one could wait); 0 when it gives none
// within five seconds, or when the calling thread's cancel event is set (`stopped` then says so).
// The program is ended when it is given up, and its output is deleted.
HBITMAP GrabFrameExternal(const char* path, bool* stopped = nullptr);

// An event that, once set, ends the calling thread's waits for slow extractions at once and lets
// no new one start, so that a thread asked to stop need not be terminated. Null: none.
void SetExtractionCancelEvent(HANDLE event);
