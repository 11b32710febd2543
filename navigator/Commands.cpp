// Steering the Navigator: the command dispatcher, movement, choosing, the two-press delete, and
// the keyboard and mouse of the window.
#include "input/Commands.h"

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

// Player commands named by the dispatcher.
constexpr UINT kCommandOk = 5104;
constexpr UINT kCommandHost5102 = 5102;
constexpr UINT kCommandLeft = 5115;
constexpr UINT kCommandRight = 5116;
constexpr UINT kCommandEscape = 5202;
constexpr UINT kCommandAudio = 7030;
constexpr UINT kCommandSubtitle = 7031;
constexpr UINT kCommandHost7032 = 7032;
constexpr UINT kCommandDiscModeToggle = 7050;
constexpr UINT kCommandKey = 7052;

bool Contains(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Puts the number where the text has "%d" and "%" where it has "%%"; any other '%' stays as it is,
// so that a translated text cannot make the formatting read what it was not given.
std::string FormatNumber(const std::string& text, int number) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 'd' || text[i + 1] == '%')) {
            out += text[i + 1] == 'd' ? std::to_string(number) : "%";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void NavigatorWnd::DrawHeaderNow() {
    ClientDC dc(Handle());
    DrawHeader(dc);
}

void NavigatorWnd::DrawAllNow() {
    ClientDC dc(Handle());
    DrawAll(dc);
}

int NavigatorWnd::HandleCommand(int command) {
    bool visible = IsWindowVisible(Handle()) != FALSE;
    if (!visible && command < kFirstBothStatesCommand) return 0;

    bool disc = SendRequest(Handle(), kRequestDiscMode) != 0;
    LRESULT playerState = SendRequest(Handle(), kRequestPlayerState);
    SendRequest(Handle(), kRequestState130);
    bool keysToPlayer = playerState == kPlayerStateKeys;

    if (list_.DeletePending()) {
        // A held key or button is no second press: the box stays, and nothing else happens.
        if (command == CMD_DELETE && !list_.IsSecondPress(CurrentPress())) return 1;
        // The command that answers the box is not carried out: it deletes or cancels.
        if (list_.AnswerDelete(command == CMD_DELETE))
            DeleteShownFile();
        else
            DrawAllNow();
        return 1;
    }

    const int before = list_.Selected();
    auto hiddenCommand = [&](UINT code) {
        if (!visible) SendPlayerCommand(code, 0, 0);
    };
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
        case CMD_HOME:
        case CMD_END: return 0;
        case CMD_NAVIGATOR:
            if (!visible)
                ShowList(Tracks);
            else if (list_.Mode() == Albums) {
                if (Count() > 0) SetTimer(Handle(), kTimerChoose, kChooseDelayMs, nullptr);
            } else {
                HideNavigator();
            }
            break;
        case CMD_ALBUMS: ShowList(Albums); break;
        case CMD_NEXT_LIST:
        case CMD_PREV_LIST:
            if (!disc) {
                SendPlayerCommand(kCommandNextList, command == CMD_NEXT_LIST ? 1 : -1, kExtraList);
                if (visible) ShowList(Tracks);
            }
            break;
        case CMD_UP:
        case CMD_DOWN:
            if (visible)
                ShowMove(list_.MoveBy(command == CMD_UP ? -list_.Layout().columns : list_.Layout().columns), before);
            else if (keysToPlayer)
                SendPlayerCommand(kCommandKey, command == CMD_UP ? VK_UP : VK_DOWN, 0);
            break;
        case CMD_LEFT:
        case CMD_RIGHT:
            if (visible)
                ShowMove(list_.MoveHorizontal(command == CMD_LEFT ? -1 : 1), before);
            else if (keysToPlayer)
                SendPlayerCommand(kCommandKey, command == CMD_LEFT ? VK_LEFT : VK_RIGHT, 0);
            else
                SendPlayerCommand(command == CMD_LEFT ? kCommandLeft : kCommandRight, 0, 0);
            break;
        case CMD_OK:
        case CMD_SELECT:
            if (visible)
                Choose();
            else if (keysToPlayer)
                SendPlayerCommand(kCommandKey, VK_RETURN, 0);
            else
                SendPlayerCommand(kCommandOk, 0, 0);
            break;
        case CMD_ESCAPE:
            if (visible)
                HideNavigator();
            else
                SendPlayerCommand(kCommandEscape, 0, 0);
            break;
        case CMD_HOST_7032: hiddenCommand(kCommandHost7032); break;
        case CMD_AUDIO: hiddenCommand(kCommandAudio); break;
        case CMD_SUBTITLE: hiddenCommand(kCommandSubtitle); break;
        case CMD_DISC_MODE:
            if (visible) break;
            if (disc) {
                SendPlayerCommand(kCommandDiscModeToggle, 0, 0);
            } else {
                SendModeSwitch(kDiscMode);
                SendPlayerCommand(kCommandOk, 0, 0);
            }
            break;
        case CMD_FILE_MODE:
            if (disc) {
                SendModeSwitch(kFileMode);
                if (visible) ShowList(Tracks);
            }
            break;
        case CMD_HOST_5171: SendPlayerCommand(5171, 0, 0); break;
        case CMD_HOST_5104_IF:
            if (!visible) {
                LRESULT answer = SendRequest(Handle(), kRequestPlayerQuery);
                if (answer == kPlayerQueryPlay1 || answer == kPlayerQueryPlay2) SendPlayerCommand(kCommandOk, 0, 0);
            }
            break;
        case CMD_HOST_5102:
            if (!visible) {
                SendPlayerCommand(kCommandHost5102, 0, 0);
                if (disc) SendModeSwitch(kFileMode);
            }
            break;
        case CMD_HOST_5107: hiddenCommand(5107); break;
        case CMD_HOST_5108: hiddenCommand(5108); break;
        case CMD_HOST_5115: hiddenCommand(5115); break;
        case CMD_HOST_5116: hiddenCommand(5116); break;
        case CMD_HOST_5135: hiddenCommand(5135); break;
        case CMD_HOST_5134: hiddenCommand(5134); break;
        case CMD_HOST_5172: hiddenCommand(5172); break;
        case CMD_HOST_5205: hiddenCommand(5205); break;
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
    DrawDeleteBox(dc);
}

void NavigatorWnd::DrawDeleteBox(HDC dc) {
    if (!list_.DeletePending()) return;
    Geometry layout = Layout();
    RECT client = ToRect(layout.Client());
    int line = layout.LineHeight();
    RECT box = {40, client.bottom / 2 - 2 * line, client.right - 40, client.bottom / 2 + 2 * line};

    FillRect(dc, &box, SolidBrush(settings_->colours[kColourBox]));
    SolidBrush frame(settings_->colours[kColourFrame]);
    RECT ring = box;
    for (int i = 0; i < 4; ++i) {
        FrameRect(dc, &ring, frame);
        InflateRect(&ring, -1, -1);
    }

    SelectedFont font(dc, CreateNavigatorFont(layout.FontHeight(kFontHeader)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, settings_->colours[kColourBoxText]);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS;
    RECT row = {box.left + 3, box.top + 3 - line / 4, box.right - 3, box.top + 3 - line / 4 + 2 * line};
    DrawTextA(dc, FormatNumber(LoadResString(IDS_DELETE_QUESTION), list_.DeleteNumber()).c_str(), -1, &row, format);
    OffsetRect(&row, 0, line);
    std::string name = "-> \"" + GetFileNamePart(list_.DeletePath(), true) + "\"";
    DrawTextA(dc, name.c_str(), -1, &row, format | DT_END_ELLIPSIS);
    SetTextColor(dc, settings_->colours[kColourBoxHint]);
    OffsetRect(&row, 0, line + line / 4);
    DrawTextA(dc, LoadResString(IDS_DELETE_HINT).c_str(), -1, &row, format);
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
    list_.SetHot(kHotNone);
    if (old == kHotCloseButton) {
        DrawCloseButton(dc, kStateNormal);
    } else if (old >= 0) {
        int state = old == list_.Selected() ? kStateSelected : kStateNormal;
        DrawItemText(dc, old, state);
        DrawItemDetail(dc, old, state);
        InvalidateThumbFrame(old, true);
    }
    list_.SetHot(item);
    if (item == kHotCloseButton) {
        DrawCloseButton(dc, kStateHot);
    } else if (item >= 0) {
        int state = kStateHot | (item == list_.Selected() ? kStateSelected : kStateNormal);
        DrawItemText(dc, item, state);
        DrawItemDetail(dc, item, state);
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
        DrawCloseButton(dc, kStatePressed);
    } else if (item >= 0) {
        int before = list_.Selected();
        ShowMove(list_.Select(item), before);
        HandleCommand(CMD_OK);
    }
}

void NavigatorWnd::OnLButtonUp() {
    if (list_.Hot() == kHotCloseButton) HideNavigator();
}
