// The Media Center tray program would take the remote's buttons for itself: it is stopped while
// the plug-in is enabled and started again, from the path it ran from, when the plug-in is
// disabled or closes.
#pragma once

#include <string>

class MediaCenterTray {
public:
    // Stops a running tray program when `enabled`; otherwise starts again the one it stopped.
    void Update(bool enabled);

private:
    std::string stoppedPath_;
};
