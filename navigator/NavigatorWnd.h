// The Navigator: the plug-in's one window, a borderless, topmost pop-up over the chosen monitor
// showing the album list or a track list in large type. Its members are defined in the file of
// the concern they serve: lifecycle here (NavigatorWnd.cpp), the player protocol
// (PlayerProtocol.cpp), lists (EntryList.cpp), drawing (Paint.cpp), commands (Commands.cpp),
// thumbnails (ThumbQueue.cpp, over ThumbnailPipeline) and remote input (input/).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/Window.h"
#include "input/TrayIcon.h"
#include "navigator/EntryModel.h"
#include "navigator/Geometry.h"
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
constexpr UINT kIconResource = 100;

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

class NavigatorWnd : public Window, public OptionsPreview {
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
    // The quick-configuration menu's options sheet: modal, saved and applied after OK.
    void RunOptionsSheet();
    bool HasPreviewWindow() const override { return Exists(); }
    void ShowPreview() override { ShowList(Tracks); }

    // Lists.
    void ShowList(ListMode listMode);
    void ResetList();
    void OnTrackList(const TokenList& tokens);
    void OnAlbumList(const TokenList& tokens);
    void OnListHeader(const TokenList& tokens);
    void OnSelectAlbum(const std::string& key);
    void OnListChanged(const std::string& key);
    void OnListsChanged(const std::string& key);
    int CenteredTop(int index) const;

    // Commands: every input road ends here.
    BOOL HandleCommand(int command);
    BOOL SelectNumber(int number);
    void MoveHorizontal(int delta);
    void MoveBy(int delta);
    void SetSelection(int index);
    int HitTest(int x, int y) const;
    void SetHot(HDC dc, int item);
    // Whether a delete waits for its second press (one flag for the whole process).
    static bool DeletePending();

    // Drawing.
    Geometry Layout() const;
    void DrawAll(HDC dc);
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
    void QueueThumbnails();
    void ResetThumbnails();
    void OnThumbnailReady(uint32_t serial, HBITMAP bitmap);
    // Draws the entry's picture from the thumbnail image list; false when it has none yet.
    bool DrawThumbnailImage(HDC dc, int index);

    int32_t sheetOpen = 0;
    PluginSettings* settings = nullptr;
    LoadedDisplay loaded;
    CxImage skin[kSkinSlotCount];
    struct SkinMade {
        int id = 0;
        int width = 0;
        int height = 0;
    } skinMade[kSkinSlotCount];
    int32_t discMode = 0;
    ListMode mode = Tracks;
    EntryArray entries;
    int32_t top = 0;
    int32_t selected = 0;
    int32_t pressed = -1;
    int32_t perPage = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    std::string title;
    std::string listKey;
    std::string reselectPath;
    int32_t savedSelected = -1;
    int32_t savedTop = -1;
    int32_t hot = -1;
    int32_t appCommandHookEnabled = 1;
    int32_t consoleDisconnected = 0;
    HICON trayIcon = nullptr;
    TrayIconHolder tray;
    bool quickMenuOpen = false;
    std::string stoppedTrayProcessPath;
    ThumbnailPipeline thumbnails;

    const UINT shellHookMessage;
    const UINT taskbarCreatedMessage;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int Count() const { return static_cast<int>(entries.size()); }

    LRESULT OnCreate();
    void OnDestroy();
    void OnTimer(UINT id);
    void OnPaint();
    void OnCopyData(const COPYDATASTRUCT* copy);
    void OnShowWindow(bool shown);
    void DeferredStart();
    void OnChooseTimer();
    void Choose();
    void ShowDeleteBox();
    void DrawDeleteBox(HDC dc);
    void DeleteShownFile();
    void CancelDelete();
    void DrawHeaderNow();
    void DrawAllNow();
    void OnKeyDown(UINT key);
    void OnMouseWheel(int delta);
    void OnMouseMove(int x, int y);
    void OnMouseLeave();
    void OnLButtonDown(int x, int y);
    void OnLButtonUp();
    void ForceForeground();

    // Remote input and helper processes.
    LRESULT OnInput(HRAWINPUT input);
    LRESULT MapAppCommand(LPARAM lParam);
    LRESULT OnAppCommand(LPARAM lParam);
    LRESULT OnShellHook(WPARAM event, LPARAM lParam);
    LRESULT OnStreamzap(WPARAM code);
    void OnHotKey(WPARAM id);
    void OnSessionChange(WPARAM event);
    void RegisterShellHook();
    void DeregisterShellHook();
    void RegisterSessionNotification();
    void UnregisterSessionNotification();
    bool RegisterRemoteInput();
    void UpdateHotKey();
    void UpdateMediaCenterTray(bool shuttingDown);
    void AddTrayIcon();
    void RemoveTrayIcon();
    bool HasTrayIcon() const;
    LRESULT OnTrayNotify(WPARAM id, LPARAM mouse);
    void ShowQuickConfigMenu(int x, int y);
    bool OnQuickConfigCommand(UINT id);

    // The thumbnail worker.
    void StartThumbnailWorker();
    void StopThumbnailWorker();
};
