// A stand-in for a helper program that the plug-in looks for among running processes ("ehtray.exe",
// "type32.exe"): it only waits, until it is terminated or a minute has passed.
#include <windows.h>

int main() {
    Sleep(60000);
    return 0;
}
