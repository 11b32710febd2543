// A module named as the player's image library, "ksl_ximage.dll", that exports other names: set
// beside the plug-in, it shows that the plug-in neither imports nor loads the player's module.
#include <windows.h>

extern "C" __declspec(dllexport) int ForeignImageModuleVersion() { return 1; }
