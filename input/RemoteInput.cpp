// Raw input from the Media Center remote: its two HID collections, registered as input sinks so
// that reports arrive while the Navigator is hidden or another program is in front.
#include "input/RemoteInput.h"

#include <vector>

#include "base/ProcAddress.h"
#include "input/RemoteCodes.h"
#include "navigator/NavigatorWnd.h"

GetRawInputDataFn g_rawInputReader = nullptr;

namespace {

constexpr USHORT kRemoteUsagePage = 0xFFBC;
constexpr USHORT kRemoteUsage = 0x0088;
constexpr USHORT kConsumerUsagePage = 0x000C;
constexpr USHORT kConsumerUsage = 0x0001;
constexpr UINT kReadFailed = static_cast<UINT>(-1);

HMODULE User32() {
    static HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32;
}

UINT ReadRawInput(HRAWINPUT input, void* buffer, UINT* size) {
    GetRawInputDataFn read = g_rawInputReader ? g_rawInputReader : GetProc<GetRawInputDataFn>(User32(), "GetRawInputData");
    if (!read) return kReadFailed;
    return read(input, RID_INPUT, buffer, size, sizeof(RAWINPUTHEADER));
}

}  // namespace

bool ValidRawInputDevices(const RAWINPUTDEVICE* devices, UINT count, UINT size) {
    if (!devices || count == 0 || size != sizeof(RAWINPUTDEVICE)) return false;
    for (UINT i = 0; i < count; ++i) {
        const RAWINPUTDEVICE& d = devices[i];
        if ((d.dwFlags & RIDEV_INPUTSINK) && !d.hwndTarget) return false;
        if ((d.dwFlags & RIDEV_REMOVE) && d.hwndTarget) return false;
    }
    return true;
}

bool NavigatorWnd::RegisterRemoteInput() {
    RAWINPUTDEVICE devices[2] = {
        {kRemoteUsagePage, kRemoteUsage, RIDEV_INPUTSINK, Handle()},
        {kConsumerUsagePage, kConsumerUsage, RIDEV_INPUTSINK, Handle()},
    };
    if (!ValidRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE))) return false;
    auto registerDevices = GetProc<RegisterRawInputDevicesFn>(User32(), "RegisterRawInputDevices");
    return registerDevices && registerDevices(devices, 2, sizeof(RAWINPUTDEVICE));
}

LRESULT NavigatorWnd::OnInput(HRAWINPUT input) {
    if (!settings->activate) return 0;
    UINT size = 0;
    if (ReadRawInput(input, nullptr, &size) != kReadFailed && size > 0) {
        std::vector<uint8_t> report(size);
        UINT wanted = size;
        uint32_t code = 0;
        if (ReadRawInput(input, report.data(), &size) == wanted &&
            ParseHidButton(report.data(), wanted, sizeof(RAWINPUTHEADER), &code)) {
            int command = MapRawButton(code, IsWindowVisible(Handle()) != FALSE);
            if (command != 0) HandleCommand(command);
        }
    }
    Default();
    return 0;
}
