// The system functions the module hands texts to, as the module calls them: under their Windows
// names, which lead here. Each takes and gives the host's OEM code page and calls the system's
// UTF-16 function, so that the registry holds what the user typed, readable by every other
// program, and a file browser opens the folder the host showed (oem_text.h).
#pragma once

#include <windows.h>

LONG WINAPI VelmoraRegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                   DWORD options, REGSAM access,
                                   const LPSECURITY_ATTRIBUTES security, PHKEY result,
                                   LPDWORD disposition);
LONG WINAPI VelmoraRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                  const BYTE* data, DWORD size);
LONG WINAPI VelmoraRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                                    LPBYTE data, LPDWORD size);
LONG WINAPI VelmoraRegDeleteValueA(HKEY key, LPCSTR name);
LONG WINAPI VelmoraRegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize,
                                 LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
LONG WINAPI VelmoraRegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                                    LPDWORD subKeys, LPDWORD longestSubKey, LPDWORD longestClass,
                                    LPDWORD values, LPDWORD longestValueName, LPDWORD longestValue,
                                    LPDWORD securityDescriptor, PFILETIME lastWrite);
BOOL WINAPI VelmoraCreateProcessA(LPCSTR application, LPSTR commandLine,
                                  LPSECURITY_ATTRIBUTES processAttributes,
                                  LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                                  DWORD flags, LPVOID environment, LPCSTR directory,
                                  LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process);

#define RegCreateKeyExA VelmoraRegCreateKeyExA
#define RegSetValueExA VelmoraRegSetValueExA
#define RegQueryValueExA VelmoraRegQueryValueExA
#define RegDeleteValueA VelmoraRegDeleteValueA
#define RegEnumValueA VelmoraRegEnumValueA
#define RegQueryInfoKeyA VelmoraRegQueryInfoKeyA
#define CreateProcessA VelmoraCreateProcessA
