#include "navigator/NavigatorWnd.h"

#include <windowsx.h>

#include "base/ModuleHold.h"
#include "base/ModuleState.h"
#include "base/Text.h"
#include "navigator/PlayerProtocol.h"
#include "options/ConfigSheet.h"
#include "res/resource.h"
#include "settings/Monitors.h"

namespace {

// An entry's path and key are zero-ended where they lie.
bool SameIgnoringCase(std::string_view a, std::string_view b) { return SameName(a.data(), b.data()); }

}  // namespace

NavigatorWnd::NavigatorWnd()
    : list_(SameIgnoringCase), painter_(list_, thumbnails_), remote_(*this, *this), tray_(*this, *this) {}

NavigatorWnd::~NavigatorWnd() {
    // Destroyed here, while the handlers of this class still answer.
    DestroyWindow();
}

bool NavigatorWnd::CreateNavigator(PluginSettings* settings) {
    settings_ = settings;
    RECT rect = WorkRect();

    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.hInstance = ThisModuleState().instance;
    wc.hIcon = LoadIconA(ThisModuleState().instance, MAKEINTRESOURCEA(IDI_REMBRIX));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kNavigatorClassName;
    if (!RegisterWindowClass(wc)) return false;

    return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kNavigatorClassName, kNavigatorTitle, WS_POPUP, rect, nullptr,
                    nullptr);
}

Geometry NavigatorWnd::Layout() const {
    RECT client = {};
    GetClientRect(Handle(), &client);
    return painter_.Layout(client.right, client.bottom);
}

RECT NavigatorWnd::WorkRect() {
    if (!IsMonitorHandle(settings_->Monitor())) settings_->SetMonitor(GetPrimaryMonitor());
    RECT rect = GetMonitorRect(settings_->Monitor(), false);
    rect.left += settings_->marginX;
    rect.right -= settings_->marginX;
    rect.top += settings_->marginY;
    rect.bottom -= settings_->marginY;
    return rect;
}

LRESULT NavigatorWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    if (remote_.OnMessage(message, wParam, lParam, settings_->activate != 0, &answer)) return answer;
    if (tray_.OnMessage(message, wParam, lParam, *settings_, SheetOpen(), &answer)) return answer;
    switch (message) {
        case WM_CREATE: return OnCreate();
        case WM_DESTROY:
            Default();
            OnDestroy();
            return 0;
        case WM_TIMER:
            OnTimer(static_cast<UINT>(wParam));
            return Default();
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;  // the paint handler covers every pixel
        case WM_PRINTCLIENT:
            DrawAll(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SHOWWINDOW: {
            LRESULT result = Default();
            OnShowWindow(wParam != 0);
            return result;
        }
        case WM_COPYDATA:
            OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return Default();
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wParam));
            return Default();
        case WM_MOUSEWHEEL:
            OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return Default();
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return Default();
        case WM_MOUSELEAVE: OnMouseLeave(); return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return Default();
        case WM_LBUTTONUP:
            OnLButtonUp();
            return Default();
        case kThumbnailReadyMessage:
            OnThumbnailReady(static_cast<uint32_t>(wParam), reinterpret_cast<HBITMAP>(lParam));
            return 0;
        case WM_COMMAND:
            if (OnQuickConfigCommand(LOWORD(wParam))) return 0;
            return Default();
        default: return Default();
    }
}

LRESULT NavigatorWnd::OnCreate() {
    if (Default() == -1) return -1;
    SetTimer(Handle(), kTimerDeferredStart, kDeferredStartDelayMs, nullptr);
    tray_.LoadPicture();
    return 0;
}

void NavigatorWnd::OnTimer(UINT id) {
    if (id != kTimerChoose && id != kTimerDeferredStart) return;
    KillTimer(Handle(), id);
    if (id == kTimerDeferredStart)
        DeferredStart();
    else
        OnChooseTimer();
}

void NavigatorWnd::DeferredStart() {
    remote_.Register();
    SendRequest(Handle(), kRequestNavigatorReady);
    remote_.UpdateHotKey(settings_->hotKey);
    thumbnails_.Start(Handle());
    ResetList();
    UpdateMediaCenterTray(false);
    if (settings_->trayIcon) tray_.Add();
}

void NavigatorWnd::OnDestroy() {
    remote_.Unregister();
    SendRequest(Handle(), kRequestNavigatorClosing);
    thumbnails_.Stop();
    tray_.Remove();  // no dead icon after the player's Stop
    tray_.FreePicture();
    UpdateMediaCenterTray(true);
}

void NavigatorWnd::UpdateMediaCenterTray(bool shuttingDown) {
    mediaCenterTray_.Update(settings_ && settings_->activate && !shuttingDown);
}

void NavigatorWnd::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    if (dc) DrawAll(dc);
    EndPaint(Handle(), &paint);
}

void NavigatorWnd::OnShowWindow(bool shown) {
    if (shown) return;
    ResetThumbnails();
    // A delete waits only while its box can be seen.
    list_.CancelDelete();
}

void NavigatorWnd::BringUp() {
    HWND hwnd = Handle();
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!IsWindowVisible(hwnd)) SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ForceForeground();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

// The foreground lock only lets a thread that shares the foreground thread's input take the
// foreground: the Navigator comes to the front over another program's window by joining it.
void NavigatorWnd::ForceForeground() {
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    DWORD thisThread = GetCurrentThreadId();
    bool attached = foregroundThread != thisThread && AttachThreadInput(foregroundThread, thisThread, TRUE);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
    if (attached) AttachThreadInput(foregroundThread, thisThread, FALSE);
}

void NavigatorWnd::HideNavigator() { ShowWindow(Handle(), SW_HIDE); }

void NavigatorWnd::RunOptionsSheet(HWND parent) {
    if (openSheet_) return;
    ModuleHold hold;
    CConfigSheet sheet(settings_, this, parent);
    openSheet_ = &sheet;
    INT_PTR result = sheet.DoModal();
    openSheet_ = nullptr;
    if (result != IDOK) return;
    settings_->Save();
    if (Exists()) ApplySettings();
}

void NavigatorWnd::EndModalLoops() {
    if (openSheet_) openSheet_->End();
    tray_.EndMenu();
}

void NavigatorWnd::ApplySettings() {
    if (!settings_->trayIcon && tray_.Present())
        tray_.Remove();
    else if (settings_->trayIcon && !tray_.Present())
        tray_.Add();
    remote_.UpdateHotKey(settings_->hotKey);
    UpdateMediaCenterTray(false);
}

bool NavigatorWnd::OnQuickConfigCommand(UINT id) {
    switch (ApplyQuickConfigCommand(id, *settings_, SheetOpen())) {
        case QuickConfigFollowUp::NotMine: return false;
        case QuickConfigFollowUp::UpdateMediaCenterTray: UpdateMediaCenterTray(false); break;
        case QuickConfigFollowUp::RunOptionsSheet: RunOptionsSheet(nullptr); break;
        case QuickConfigFollowUp::ShowNavigator: ShowList(Tracks); break;
        case QuickConfigFollowUp::None: break;
    }
    return true;
}

