// The Streamzap remote, whose software sends its buttons to the window of class "Streamzap.WMX".
#include "input/RemoteCodes.h"
#include "navigator/NavigatorWnd.h"

LRESULT NavigatorWnd::OnStreamzap(WPARAM code) {
    if (!settings->activate) return 0;
    int mapped = MapStreamzapButton(static_cast<uint32_t>(code), IsWindowVisible(Handle()) != FALSE);
    int digit = StreamzapDigit(mapped);
    if (digit >= 0) return SelectNumber(digit);
    return mapped < 0 ? 0 : HandleCommand(mapped);
}
