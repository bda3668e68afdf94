// Starting a process with a command line in the host's OEM code page. The system's 8-bit
// function would read it in the ANSI page, and a folder named beyond ASCII would reach the
// program as another name.
#include <new>
#include <string>

#include "oem_functions.h"
#include "oem_text.h"

namespace {

// A text converted, or none; its block is writable, as CreateProcessW's command line must be.
class WideText {
  public:
    explicit WideText(LPCSTR text) : given_(text != nullptr), text_(FromHostText(text)) {}
    LPWSTR Get() { return given_ ? &text_[0] : nullptr; }

  private:
    bool given_;
    std::wstring text_;
};

}  // namespace

BOOL WINAPI VelmoraCreateProcessA(LPCSTR application, LPSTR commandLine,
                                  LPSECURITY_ATTRIBUTES processAttributes,
                                  LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                                  DWORD flags, LPVOID environment, LPCSTR directory,
                                  LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process) {
    try {
        WideText wideApplication(application);
        WideText wideLine(commandLine);
        WideText wideDirectory(directory);
        WideText desktop(startup->lpDesktop);
        WideText title(startup->lpTitle);
        STARTUPINFOW wideStartup;
        wideStartup.cb = sizeof wideStartup;
        wideStartup.lpReserved = nullptr;
        wideStartup.lpDesktop = desktop.Get();
        wideStartup.lpTitle = title.Get();
        wideStartup.dwX = startup->dwX;
        wideStartup.dwY = startup->dwY;
        wideStartup.dwXSize = startup->dwXSize;
        wideStartup.dwYSize = startup->dwYSize;
        wideStartup.dwXCountChars = startup->dwXCountChars;
        wideStartup.dwYCountChars = startup->dwYCountChars;
        wideStartup.dwFillAttribute = startup->dwFillAttribute;
        wideStartup.dwFlags = startup->dwFlags;
        wideStartup.wShowWindow = startup->wShowWindow;
        wideStartup.cbReserved2 = startup->cbReserved2;
        wideStartup.lpReserved2 = startup->lpReserved2;
        wideStartup.hStdInput = startup->hStdInput;
        wideStartup.hStdOutput = startup->hStdOutput;
        wideStartup.hStdError = startup->hStdError;
        return CreateProcessW(wideApplication.Get(), wideLine.Get(), processAttributes,
                              threadAttributes, inheritHandles, flags, environment,
                              wideDirectory.Get(), &wideStartup, process);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}
