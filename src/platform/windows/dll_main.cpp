// The entry point Windows calls as it loads and unloads the DLL; built into the Windows DLL
// only. The module keeps no per-thread state, so the system need not tell it of threads.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
