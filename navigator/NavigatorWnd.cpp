#include "navigator/NavigatorWnd.h"

#include <windowsx.h>

#include "base/ModuleState.h"
#include "navigator/PlayerProtocol.h"
#include "options/ConfigSheet.h"
#include "plugin/Monitors.h"
#include "plugin/RembrixApp.h"

namespace {
constexpr int kTrayIconSize = 16;
}  // namespace

NavigatorWnd::NavigatorWnd()
    : shellHookMessage(RegisterWindowMessageA("ShellHook")),
      taskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated")) {}

NavigatorWnd::~NavigatorWnd() {
    // Destroyed here, while the handlers of this class still answer.
    DestroyWindow();
    RemoveTrayIcon();
}

bool NavigatorWnd::CreateNavigator(PluginSettings* pluginSettings) {
    settings = pluginSettings;
    RECT rect = WorkRect();

    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.hInstance = ThisModuleState().instance;
    wc.hIcon = LoadIconA(ThisModuleState().instance, MAKEINTRESOURCEA(kIconResource));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kNavigatorClassName;
    if (!RegisterWindowClass(wc)) return false;

    return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kNavigatorClassName, kNavigatorTitle, WS_POPUP, rect, nullptr,
                    nullptr);
}

RECT NavigatorWnd::WorkRect() {
    if (!IsMonitorHandle(settings->Monitor())) settings->SetMonitor(GetPrimaryMonitor());
    RECT rect = GetMonitorRect(settings->Monitor(), false);
    rect.left += settings->marginX;
    rect.right -= settings->marginX;
    rect.top += settings->marginY;
    rect.bottom -= settings->marginY;
    return rect;
}

LRESULT NavigatorWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
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
        case WM_INPUT: return OnInput(reinterpret_cast<HRAWINPUT>(lParam));
        case WM_APPCOMMAND: return OnAppCommand(lParam);
        case kThumbnailReadyMessage:
            OnThumbnailReady(static_cast<uint32_t>(wParam), reinterpret_cast<HBITMAP>(lParam));
            return 0;
        case WM_HOTKEY:
            OnHotKey(wParam);
            return 0;
        case WM_WTSSESSION_CHANGE:
            OnSessionChange(wParam);
            return 0;
        case kTrayCallbackMessage: return OnTrayNotify(wParam, lParam);
        case WM_COMMAND:
            if (OnQuickConfigCommand(LOWORD(wParam))) return 0;
            return Default();
        default:
            // The taskbar was rebuilt: an icon that was there is shown again.
            if (message == taskbarCreatedMessage && message) {
                if (HasTrayIcon()) AddTrayIcon();
                return 0;
            }
            // Registered messages have no constant numbers.
            if (message == shellHookMessage) return OnShellHook(wParam, lParam);
            if (message == g_streamzapMessage && message) return OnStreamzap(wParam);
            return Default();
    }
}

LRESULT NavigatorWnd::OnCreate() {
    if (Default() == -1) return -1;
    SetTimer(Handle(), kTimerDeferredStart, kDeferredStartDelayMs, nullptr);
    // The icon is the module's own: a language pack carries texts only.
    trayIcon = static_cast<HICON>(LoadImageA(ThisModuleState().instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                             kTrayIconSize, kTrayIconSize, 0));
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
    RegisterShellHook();
    RegisterSessionNotification();
    RegisterRemoteInput();
    SendRequest(Handle(), kRequestNavigatorReady);
    UpdateHotKey();
    StartThumbnailWorker();
    ResetList();
    UpdateMediaCenterTray(false);
    if (settings->trayIcon) AddTrayIcon();
}

void NavigatorWnd::OnDestroy() {
    DeregisterShellHook();
    UnregisterSessionNotification();
    SendRequest(Handle(), kRequestNavigatorClosing);
    StopThumbnailWorker();
    if (trayIcon) DestroyIcon(trayIcon);
    trayIcon = nullptr;
    UpdateMediaCenterTray(true);
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
    CancelDelete();
}

void NavigatorWnd::BringUp() {
    HWND hwnd = Handle();
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!IsWindowVisible(hwnd)) SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ForceForeground();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void NavigatorWnd::HideNavigator() { ShowWindow(Handle(), SW_HIDE); }

void NavigatorWnd::RunOptionsSheet() {
    if (sheetOpen) return;
    CConfigSheet sheet(settings, this, nullptr);
    if (sheet.DoModal() != IDOK) return;
    settings->Save();
    ApplySettings();
}

void NavigatorWnd::ApplySettings() {
    if (!settings->trayIcon && HasTrayIcon())
        RemoveTrayIcon();
    else if (settings->trayIcon && !HasTrayIcon())
        AddTrayIcon();
    UpdateHotKey();
    UpdateMediaCenterTray(false);
}

