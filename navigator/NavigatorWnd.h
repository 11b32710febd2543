// The Navigator: the plug-in's one window, a borderless, topmost pop-up over the chosen monitor
// showing the album list or a track list in large type. It keeps the window's life, its painting
// and the command dispatcher; the list and where it stands is a ListState, the remote input a
// RemoteControl, the tray icon a TrayIcon and the pictures a ThumbnailPipeline. Its members are
// defined in the file of the concern they serve: lifecycle here (NavigatorWnd.cpp), the player
// protocol (PlayerProtocol.cpp), lists (EntryList.cpp), drawing (Paint.cpp), commands
// (Commands.cpp) and thumbnails (ThumbQueue.cpp).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/PropertySheet.h"
#include "base/Window.h"
#include "input/Commands.h"
#include "input/MediaCenterTray.h"
#include "input/RemoteControl.h"
#include "input/TrayIcon.h"
#include "navigator/EntryModel.h"
#include "navigator/Geometry.h"
#include "navigator/ListState.h"
#include "navigator/ThumbnailPipeline.h"
#include "navigator/TokenList.h"
#include "options/OptionsPreview.h"
#include "plugin/PluginSettings.h"
#include "ximage/CxImage.h"

constexpr char kNavigatorClassName[] = "Streamzap.WMX";
constexpr char kNavigatorTitle[] = "Quillar Remote Plugin";

constexpr UINT kTimerChoose = 100;
constexpr UINT kTimerDeferredStart = 102;
constexpr UINT kChooseDelayMs = 500;
constexpr UINT kDeferredStartDelayMs = 100;

inline RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Skin image slots.
enum SkinSlot {
    kSkinBackground,
    kSkinFrame,
    kSkinFrameHot,
    kSkinFrameSelected,
    kSkinFrameSelectedHot,
    kSkinClose,
    kSkinCloseHot,
    kSkinClosePressed,
    kSkinCellSelected,
    kSkinCellPressed,
    kSkinPlaceholderVideo,
    kSkinPlaceholderAudio,
    kSkinPlaceholderOther,
    kSkinSlotCount
};

// The display settings as they stood at the last list load. Drawing takes them from here, so that
// options changed meanwhile take effect, all together, at the next load.
struct LoadedDisplay {
    bool thumbnails = false;
    bool iconView = false;
    bool detailInfo = false;
    std::string font;
};

class NavigatorWnd : public Window, public OptionsPreview, public CommandTarget {
public:
    NavigatorWnd();
    ~NavigatorWnd() override;

    // Creates the hidden window on the chosen monitor; true when it exists.
    virtual bool CreateNavigator(PluginSettings* settings);

    // The window's place in screen coordinates: the chosen monitor less the margins.
    RECT WorkRect();
    void BringUp();
    void HideNavigator();
    void ApplySettings();
    // The options sheet, modal and owned by `parent` (the player's window, or none from the tray
    // menu), one at a time from every road. OK saves the settings and applies them to the window.
    void RunOptionsSheet(HWND parent);
    bool SheetOpen() const { return openSheet_ != nullptr; }
    // Ends the sheet and the menu of ours that run, as Cancel and Escape would: the player stops
    // or deletes us inside their loops.
    void EndModalLoops();
    bool HasPreviewWindow() const override { return Exists(); }
    void ShowPreview() override { ShowList(Tracks); }

    // Lists: asks the player for one, and takes what it sends.
    void ShowList(ListMode listMode);
    void ResetList();
    void OnTrackList(const TokenList& tokens);
    void OnAlbumList(const TokenList& tokens);
    const ListState& List() const { return list_; }

    // The dispatcher: every input road ends here.
    int HandleCommand(int command) override;
    int SelectNumber(int number) override;
    void ShowTrackList() override { ShowList(Tracks); }

    // Drawing.
    Geometry Layout() const;
    void DrawAll(HDC dc);

    // Thumbnails.
    void QueueThumbnails();
    void ResetThumbnails();
    const ThumbnailPipeline& Thumbnails() const { return thumbnails_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Open to a derived class (the tests' window) for the states no message sets: pressed, hot,
    // a skin taken away.
    ListState list_;
    CxImage skin_[kSkinSlotCount];

private:
    int Count() const { return list_.Count(); }

    // Lifecycle.
    LRESULT OnCreate();
    void OnDestroy();
    void OnTimer(UINT id);
    void OnPaint();
    void OnShowWindow(bool shown);
    void DeferredStart();
    void UpdateMediaCenterTray(bool shuttingDown);
    void ForceForeground();

    // Lists.
    void OnCopyData(const COPYDATASTRUCT* copy);
    void OnListHeader(const TokenList& tokens);
    void OnSelectAlbum(const std::string& key);
    void OnListChanged(const std::string& key);
    void OnListsChanged(const std::string& key);

    // Commands, keyboard and mouse.
    void OnChooseTimer();
    void Choose();
    void ShowMove(Moved moved, int before);
    // The press the message being handled makes, for the two-press delete.
    DeletePress CurrentPress() const;
    void ShowDeleteBox();
    void DrawDeleteBox(HDC dc);
    void DeleteShownFile();
    void DrawHeaderNow();
    void DrawAllNow();
    bool OnQuickConfigCommand(UINT id);
    void OnKeyDown(UINT key);
    void OnMouseWheel(int delta);
    void OnMouseMove(int x, int y);
    void OnMouseLeave();
    void OnLButtonDown(int x, int y);
    void OnLButtonUp();
    int HitTest(int x, int y) const;
    void SetHot(HDC dc, int item);

    // Drawing.
    void DrawHeader(HDC dc);
    void DrawCloseButton(HDC dc, int state);
    void DrawItem(HDC dc, int index, int state);
    void DrawItemText(HDC dc, int index, int state);
    void DrawItemDetail(HDC dc, int index, int state);
    void DrawThumbFrame(HDC dc, int index, int state);
    void DrawThumbnail(HDC dc, int index, int state);
    void InvalidateItem(int index, bool update);
    void InvalidateThumbFrame(int index, bool update);
    void LoadSkin();
    // Makes the picture of `slot` from resource `id` at the given size (0: its own), unless the
    // slot already holds exactly that.
    bool LoadSkinImage(int slot, int width, int height, int id, const char* type, bool useResample2);
    HFONT CreateNavigatorFont(int height) const;

    // Thumbnails.
    void OnThumbnailReady(uint32_t serial, HBITMAP bitmap);
    // The page shown changed: its pictures first.
    void FollowPage();
    // Draws the entry's picture from the thumbnail image list; false when it has none yet.
    bool DrawThumbnailImage(HDC dc, int index);

    PluginSettings* settings_ = nullptr;
    CPropertySheet* openSheet_ = nullptr;
    LoadedDisplay loaded_;
    struct SkinMade {
        int id = 0;
        int width = 0;
        int height = 0;
    } skinMade_[kSkinSlotCount];
    ThumbnailPipeline thumbnails_;
    RemoteControl remote_;
    TrayIcon tray_;
    MediaCenterTray mediaCenterTray_;
};
