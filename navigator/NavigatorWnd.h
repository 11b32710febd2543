// The Navigator: the plug-in's one window, a borderless, topmost pop-up over the chosen monitor
// showing the album list or a track list in large type. It keeps the window's life, its message
// switch and the command dispatcher; the list and where it stands is a ListState, its painting a
// NavigatorPainter, the remote input a RemoteControl, the tray icon a TrayIcon and the pictures a
// ThumbnailPipeline. Its members are defined in the file of the concern they serve: lifecycle here
// (NavigatorWnd.cpp), lists (EntryList.cpp), commands, keyboard and mouse (Commands.cpp) and
// thumbnails (ThumbQueue.cpp).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/PropertySheet.h"
#include "base/Window.h"
#include "input/CommandTarget.h"
#include "input/MediaCenterTray.h"
#include "input/RemoteControl.h"
#include "input/TrayIcon.h"
#include "navigator/EntryModel.h"
#include "navigator/Geometry.h"
#include "navigator/ListState.h"
#include "navigator/NavigatorPainter.h"
#include "navigator/ThumbnailPipeline.h"
#include "navigator/TokenList.h"
#include "options/OptionsPreview.h"
#include "settings/PluginSettings.h"
#include "ximage/CxImage.h"

constexpr char kNavigatorClassName[] = "Streamzap.WMX";
constexpr char kNavigatorTitle[] = "Quillar Remote Plugin";

constexpr UINT kTimerChoose = 100;
constexpr UINT kTimerDeferredStart = 102;
constexpr UINT kChooseDelayMs = 500;
constexpr UINT kDeferredStartDelayMs = 100;

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

    // Where everything sits in the window now, and who paints it.
    Geometry Layout() const;
    const NavigatorPainter& Painter() const { return painter_; }
    // The whole window, as WM_PAINT draws it.
    void DrawAll(HDC dc) { painter_.DrawAll(CanvasOn(dc)); }

    // Thumbnails.
    void QueueThumbnails();
    void ResetThumbnails();
    const ThumbnailPipeline& Thumbnails() const { return thumbnails_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

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

    // Commands, keyboard and mouse. The dispatcher's halves: while the Navigator shows, and while
    // it is hidden (the buttons are then the player's). `disc` and `keysToPlayer` are the player's
    // answers to requests 128 and 20.
    int OnShownCommand(int command, bool disc);
    int OnHiddenCommand(int command, bool disc, bool keysToPlayer);
    void OnChooseTimer();
    void Choose();
    void ShowMove(Moved moved, int before);
    // The press the message being handled makes, for the two-press delete.
    DeletePress CurrentPress() const;
    void AnswerDeleteBox(int command);
    void ShowDeleteBox();
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

    // Painting, on a context of the window's.
    Canvas CanvasOn(HDC dc) const { return {dc, Layout(), settings_->colours}; }
    void InvalidateItem(int index, bool update);
    void InvalidateThumbFrame(int index, bool update);

    // Thumbnails.
    void OnThumbnailReady(uint32_t serial, HBITMAP bitmap);
    // The page shown changed: its pictures first.
    void FollowPage();

    PluginSettings* settings_ = nullptr;
    CPropertySheet* openSheet_ = nullptr;
    ListState list_;
    ThumbnailPipeline thumbnails_;
    NavigatorPainter painter_;
    RemoteControl remote_;
    TrayIcon tray_;
    MediaCenterTray mediaCenterTray_;
};
