// Steering the Navigator: the command dispatcher, movement, choosing, the two-press delete, and
// the keyboard and mouse of the window.
#include "input/CommandTarget.h"

#include <cstdio>

#include "base/Gdi.h"
#include "base/InputHelpers.h"
#include "base/ModuleState.h"
#include "base/Paths.h"
#include "navigator/ItemState.h"
#include "navigator/NavigatorWnd.h"
#include "navigator/PlayerProtocol.h"
#include "res/resource.h"

namespace {

constexpr UINT kPlayerStateKeys = 2;  // request 20: the player takes arrows and Enter as keys
constexpr LRESULT kPlayerQueryPlay1 = 526;
constexpr LRESULT kPlayerQueryPlay2 = 529;

bool Contains(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

void NavigatorWnd::DrawHeaderNow() {
    ClientDC dc(Handle());
    painter_.DrawHeader(CanvasOn(dc));
}

void NavigatorWnd::DrawAllNow() {
    ClientDC dc(Handle());
    DrawAll(dc);
}

void NavigatorWnd::InvalidateItem(int index, bool update) {
    int slot = index - list_.Top();
    if (slot < 0 || slot >= list_.Layout().perPage) return;
    RECT cell = ToRect(Layout().ItemRect(slot));
    InvalidateRect(Handle(), &cell, FALSE);
    if (update) UpdateWindow(Handle());
}

// Only the frame's border strips: the picture inside is not repainted, so hovering does not make
// thumbnails flicker.
void NavigatorWnd::InvalidateThumbFrame(int index, bool update) {
    int slot = index - list_.Top();
    Geometry layout = Layout();
    if (!layout.Thumbnails() || !list_.OnPage(index)) return;
    RECT f = ToRect(layout.ThumbFrameRect(slot));
    int pad = layout.ThumbPad();
    RECT strips[4] = {{f.left, f.top, f.left + pad, f.bottom},
                      {f.left, f.top, f.right, f.top + pad},
                      {f.right - pad, f.top, f.right, f.bottom},
                      {f.left, f.bottom - pad, f.right, f.bottom}};
    for (const RECT& strip : strips) InvalidateRect(Handle(), &strip, FALSE);
    if (update) UpdateWindow(Handle());
}

int NavigatorWnd::HandleCommand(int command) {
    bool visible = IsWindowVisible(Handle()) != FALSE;
    if (!visible && command < kFirstBothStatesCommand) return 0;

    bool disc = SendRequest(Handle(), kRequestDiscMode) != 0;
    LRESULT playerState = SendRequest(Handle(), kRequestPlayerState);
    SendRequest(Handle(), kRequestState130);

    if (list_.DeletePending()) {
        AnswerDeleteBox(command);
        return 1;
    }
    return visible ? OnShownCommand(command, disc) : OnHiddenCommand(command, disc, playerState == kPlayerStateKeys);
}

// The command that answers the box is not carried out: it deletes or cancels.
void NavigatorWnd::AnswerDeleteBox(int command) {
    // A held key or button is no second press: the box stays, and nothing else happens.
    if (command == CMD_DELETE && !list_.IsSecondPress(CurrentPress())) return;
    if (list_.AnswerDelete(command == CMD_DELETE))
        DeleteShownFile();
    else
        DrawAllNow();
}

int NavigatorWnd::OnShownCommand(int command, bool disc) {
    const int before = list_.Selected();
    switch (command) {
        case CMD_NONE: break;
        case CMD_DELETE:
            if (!disc && list_.BeginDelete(CurrentPress().time, GetTickCount())) ShowDeleteBox();
            break;
        case CMD_SORT:
        case CMD_REFRESH:
            if (list_.Mode() == Tracks && !disc) {
                list_.KeepSelectedPath();
                SendPlayerCommand(command == CMD_SORT ? kCommandSort : kCommandRefresh, 0, kExtraList);
            }
            break;
        case CMD_PAGE_UP: ShowMove(list_.MoveBy(-list_.Layout().perPage), before); break;
        case CMD_PAGE_DOWN: ShowMove(list_.MoveBy(list_.Layout().perPage), before); break;
        case CMD_NAVIGATOR:
            if (list_.Mode() == Tracks)
                HideNavigator();
            else if (Count() > 0)
                SetTimer(Handle(), kTimerChoose, kChooseDelayMs, nullptr);
            break;
        case CMD_ALBUMS: ShowList(Albums); break;
        case CMD_NEXT_LIST:
        case CMD_PREV_LIST:
            if (!disc) {
                SendPlayerCommand(kCommandNextList, command == CMD_NEXT_LIST ? 1 : -1, kExtraList);
                ShowList(Tracks);
            }
            break;
        case CMD_UP: ShowMove(list_.MoveBy(-list_.Layout().columns), before); break;
        case CMD_DOWN: ShowMove(list_.MoveBy(list_.Layout().columns), before); break;
        case CMD_LEFT: ShowMove(list_.MoveHorizontal(-1), before); break;
        case CMD_RIGHT: ShowMove(list_.MoveHorizontal(1), before); break;
        case CMD_OK:
        case CMD_SELECT: Choose(); break;
        case CMD_ESCAPE: HideNavigator(); break;
        case CMD_FILE_MODE:
            if (disc) {
                SendModeSwitch(kFileMode);
                ShowList(Tracks);
            }
            break;
        case CMD_HOST_5171: SendPlayerCommand(kCommandHost5171, 0, 0); break;
        // The player's own buttons do nothing while the Navigator shows.
        case CMD_HOST_7032:
        case CMD_AUDIO:
        case CMD_SUBTITLE:
        case CMD_DISC_MODE:
        case CMD_HOST_5104_IF:
        case CMD_HOST_5102:
        case CMD_HOST_5107:
        case CMD_HOST_5108:
        case CMD_HOST_5115:
        case CMD_HOST_5116:
        case CMD_HOST_5135:
        case CMD_HOST_5134:
        case CMD_HOST_5172:
        case CMD_HOST_5205: break;
        default: return 0;  // Home and End have no effect, and no code outside the set
    }
    return 1;
}

// Only codes from 1000 reach here: the player's buttons, arrows and OK as keys when it takes them.
int NavigatorWnd::OnHiddenCommand(int command, bool disc, bool keysToPlayer) {
    switch (command) {
        case CMD_NAVIGATOR: ShowList(Tracks); break;
        case CMD_ALBUMS: ShowList(Albums); break;
        case CMD_NEXT_LIST:
        case CMD_PREV_LIST:
            if (!disc) SendPlayerCommand(kCommandNextList, command == CMD_NEXT_LIST ? 1 : -1, kExtraList);
            break;
        case CMD_UP:
        case CMD_DOWN:
            if (keysToPlayer) SendPlayerCommand(kCommandKey, command == CMD_UP ? VK_UP : VK_DOWN, 0);
            break;
        case CMD_LEFT:
        case CMD_RIGHT:
            if (keysToPlayer)
                SendPlayerCommand(kCommandKey, command == CMD_LEFT ? VK_LEFT : VK_RIGHT, 0);
            else
                SendPlayerCommand(command == CMD_LEFT ? kCommandLeft : kCommandRight, 0, 0);
            break;
        case CMD_OK:
        case CMD_SELECT:
            if (keysToPlayer)
                SendPlayerCommand(kCommandKey, VK_RETURN, 0);
            else
                SendPlayerCommand(kCommandOk, 0, 0);
            break;
        case CMD_ESCAPE: SendPlayerCommand(kCommandEscape, 0, 0); break;
        case CMD_HOST_7032: SendPlayerCommand(kCommandHost7032, 0, 0); break;
        case CMD_AUDIO: SendPlayerCommand(kCommandAudio, 0, 0); break;
        case CMD_SUBTITLE: SendPlayerCommand(kCommandSubtitle, 0, 0); break;
        case CMD_DISC_MODE:
            if (disc) {
                SendPlayerCommand(kCommandDiscModeToggle, 0, 0);
            } else {
                SendModeSwitch(kDiscMode);
                SendPlayerCommand(kCommandOk, 0, 0);
            }
            break;
        case CMD_FILE_MODE:
            if (disc) SendModeSwitch(kFileMode);
            break;
        case CMD_HOST_5171: SendPlayerCommand(kCommandHost5171, 0, 0); break;
        case CMD_HOST_5104_IF: {
            LRESULT answer = SendRequest(Handle(), kRequestPlayerQuery);
            if (answer == kPlayerQueryPlay1 || answer == kPlayerQueryPlay2) SendPlayerCommand(kCommandOk, 0, 0);
            break;
        }
        case CMD_HOST_5102:
            SendPlayerCommand(kCommandHost5102, 0, 0);
            if (disc) SendModeSwitch(kFileMode);  // and the disc gives way to the files
            break;
        case CMD_HOST_5107: SendPlayerCommand(kCommandHost5107, 0, 0); break;
        case CMD_HOST_5108: SendPlayerCommand(kCommandHost5108, 0, 0); break;
        case CMD_HOST_5115: SendPlayerCommand(kCommandLeft, 0, 0); break;
        case CMD_HOST_5116: SendPlayerCommand(kCommandRight, 0, 0); break;
        case CMD_HOST_5135: SendPlayerCommand(kCommandHost5135, 0, 0); break;
        case CMD_HOST_5134: SendPlayerCommand(kCommandHost5134, 0, 0); break;
        case CMD_HOST_5172: SendPlayerCommand(kCommandHost5172, 0, 0); break;
        case CMD_HOST_5205: SendPlayerCommand(kCommandHost5205, 0, 0); break;
        default: return 0;
    }
    return 1;
}

DeletePress NavigatorWnd::CurrentPress() const {
    // The keyboard marks its auto-repeat in the key-down: the key was down before.
    constexpr LPARAM kKeyWasDown = 1 << 30;
    bool keyboard = CurrentMessage() == WM_KEYDOWN;
    return {static_cast<uint32_t>(GetMessageTime()), keyboard, keyboard && (CurrentLParam() & kKeyWasDown) != 0};
}

int NavigatorWnd::SelectNumber(int number) {
    if (list_.DeletePending()) {
        // A digit answers the box like any other button: it cancels, and is not carried out.
        list_.CancelDelete();
        DrawAllNow();
        return 1;
    }
    if (!IsWindowVisible(Handle())) {
        SendPlayerCommand(kCommandPlayTrack, number, 0);
        return 1;
    }
    if (number < 1) return 0;
    int before = list_.Selected();
    Moved moved = list_.SelectNumber(number);
    if (moved == Moved::NewPage) {
        FollowPage();
        InvalidateRect(Handle(), nullptr, FALSE);
    } else
        ShowMove(moved, before);
    return 1;
}

// Repaints what a change of selection from `before` touched: the two cells and the header, or
// the whole page.
void NavigatorWnd::ShowMove(Moved moved, int before) {
    if (moved == Moved::NewPage) {
        FollowPage();
        DrawAllNow();
    } else if (moved == Moved::OnPage) {
        if (before != list_.Selected()) {
            InvalidateItem(before, false);
            InvalidateItem(list_.Selected(), false);
        }
        DrawHeaderNow();
    }
}

void NavigatorWnd::Choose() {
    // The pressed look is painted at once and left on screen until the timer acts.
    list_.SetPressed(list_.Selected());
    InvalidateItem(list_.Selected(), true);
    list_.SetPressed(-1);
    if (Count() > 0) SetTimer(Handle(), kTimerChoose, kChooseDelayMs, nullptr);
}

void NavigatorWnd::OnChooseTimer() {
    if (list_.Mode() == Tracks) {
        HideNavigator();
        if (Count() > 0) SendPlayerCommand(kCommandPlayTrack, list_.Selected() + 1, 0);
    } else {
        if (Count() > 0) SendPlayerCommand(kCommandOpenAlbum, list_.Selected(), kExtraList);
        ShowList(Tracks);
    }
}

void NavigatorWnd::ShowDeleteBox() {
    ClientDC dc(Handle());
    painter_.DrawDeleteBox(CanvasOn(dc));
}

void NavigatorWnd::DeleteShownFile() {
    const std::string path(list_.Entries()[list_.Selected()].path);
    DeleteFileA(path.c_str());
    DeleteFileA(ChangeExtension(path, ".smi").c_str());
    DeleteFileA(ChangeExtension(path, ".smil").c_str());
    list_.KeepPosition();
    SendPlayerCommand(kCommandRefresh, 0, 0);
}

void NavigatorWnd::OnKeyDown(UINT key) {
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    int command = CMD_NONE;
    switch (key) {
        case VK_RETURN: command = CMD_OK; break;
        case VK_ESCAPE: command = CMD_ESCAPE; break;
        case VK_PRIOR: command = ctrl ? CMD_PREV_LIST : CMD_PAGE_UP; break;
        case VK_NEXT: command = ctrl ? CMD_NEXT_LIST : CMD_PAGE_DOWN; break;
        case VK_HOME: command = CMD_HOME; break;
        case VK_END: command = CMD_END; break;
        case VK_LEFT: command = CMD_LEFT; break;
        case VK_UP: command = CMD_UP; break;
        case VK_RIGHT: command = CMD_RIGHT; break;
        case VK_DOWN: command = CMD_DOWN; break;
        case VK_DELETE: command = CMD_DELETE; break;
        case VK_F4: command = CMD_SORT; break;
        case VK_F5: command = CMD_REFRESH; break;
        // "Up one level": no other input reaches the album list.
        case VK_BACK: command = CMD_ALBUMS; break;
        default: return;
    }
    HandleCommand(command);
}

void NavigatorWnd::OnMouseWheel(int delta) {
    if (delta < 0)
        HandleCommand(CMD_DOWN);
    else if (delta > 0)
        HandleCommand(CMD_UP);
}

int NavigatorWnd::HitTest(int x, int y) const {
    Geometry layout = Layout();
    if (y < layout.HeaderHeight()) return Contains(layout.CloseButtonRect(), x, y) ? kHotCloseButton : kHotHeader;
    for (int index = list_.Top(); index < list_.PageEnd(); ++index)
        if (Contains(layout.ItemRect(index - list_.Top()), x, y)) return index;
    return kHotNone;
}

void NavigatorWnd::SetHot(HDC dc, int item) {
    int old = list_.Hot();
    if (item == old) return;
    const Canvas canvas = CanvasOn(dc);
    list_.SetHot(kHotNone);
    if (old == kHotCloseButton) {
        painter_.DrawCloseButton(canvas, kStateNormal);
    } else if (old >= 0) {
        painter_.DrawLabels(canvas, old, old == list_.Selected() ? kStateSelected : kStateNormal);
        InvalidateThumbFrame(old, true);
    }
    list_.SetHot(item);
    if (item == kHotCloseButton) {
        painter_.DrawCloseButton(canvas, kStateHot);
    } else if (item >= 0) {
        painter_.DrawLabels(canvas, item, kStateHot | (item == list_.Selected() ? kStateSelected : kStateNormal));
        InvalidateThumbFrame(item, true);
    }
}

void NavigatorWnd::OnMouseMove(int x, int y) {
    HoverTracking(Handle());
    ClientDC dc(Handle());
    SetHot(dc, HitTest(x, y));
}

void NavigatorWnd::OnMouseLeave() {
    ClientDC dc(Handle());
    SetHot(dc, kHotNone);
}

void NavigatorWnd::OnLButtonDown(int x, int y) {
    int item = HitTest(x, y);
    if (item == kHotCloseButton) {
        ClientDC dc(Handle());
        painter_.DrawCloseButton(CanvasOn(dc), kStatePressed);
    } else if (item >= 0) {
        int before = list_.Selected();
        ShowMove(list_.Select(item), before);
        HandleCommand(CMD_OK);
    }
}

void NavigatorWnd::OnLButtonUp() {
    if (list_.Hot() == kHotCloseButton) HideNavigator();
}
