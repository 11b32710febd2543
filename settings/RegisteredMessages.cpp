#include "settings/RegisteredMessages.h"

UINT g_streamzapMessage = 0;

void RegisterModuleMessages() { g_streamzapMessage = RegisterWindowMessageA(kStreamzapMessageName); }
