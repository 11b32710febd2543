// The module-wide registered window messages, registered once when the module loads.
#pragma once

#include <windows.h>

// The Streamzap remote's driver posts its buttons with this message to every top-level window.
extern UINT g_streamzapMessage;
constexpr char kStreamzapMessageName[] = "3E4CA449-C26F-47c6-A124-D66589CFA12F";

void RegisterModuleMessages();
