// The subset of the Windows API that the module uses, declared for POSIX systems. The types
// keep their Windows widths (DWORD and LONG are 32 bits even where long is 64), the constants
// their Windows values, so code and stored data mean the same on both systems.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define __cdecl
#define VELMORA_PLATFORM_API extern "C" __attribute__((visibility("default")))

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef intptr_t INT_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef void* HANDLE;
typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef DWORD REGSAM;
typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

#define ERROR_SUCCESS 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BUSY 170L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_BADDB 1009L
#define ERROR_CANTOPEN 1011L
#define ERROR_CANTWRITE 1013L
#define ERROR_KEY_DELETED 1018L

#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0
#define REG_OPTION_VOLATILE 1
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
#define KEY_ALL_ACCESS 0xF003F
#define KEY_READ 0x20019

#define HEAP_ZERO_MEMORY 0x00000008

#define FILE_ATTRIBUTE_HIDDEN 0x2
#define FILE_ATTRIBUTE_SYSTEM 0x4
#define FILE_ATTRIBUTE_DIRECTORY 0x10

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME;

// Callers pass none: the stand-ins keep no security descriptors.
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

typedef struct _STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
    WORD wShowWindow, cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Registry (posix/registry.cpp).
VELMORA_PLATFORM_API LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                                          DWORD dwOptions, REGSAM samDesired,
                                          LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                          PHKEY phkResult, LPDWORD lpdwDisposition);
VELMORA_PLATFORM_API LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions,
                                        REGSAM samDesired, PHKEY phkResult);
VELMORA_PLATFORM_API LONG RegCloseKey(HKEY hKey);
VELMORA_PLATFORM_API LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved,
                                         DWORD dwType, const BYTE* lpData, DWORD cbData);
VELMORA_PLATFORM_API LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                           LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
VELMORA_PLATFORM_API LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
VELMORA_PLATFORM_API LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName,
                                        LPDWORD lpcchValueName, LPDWORD lpReserved, LPDWORD lpType,
                                        LPBYTE lpData, LPDWORD lpcbData);
VELMORA_PLATFORM_API LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass,
                                           LPDWORD lpReserved, LPDWORD lpcSubKeys,
                                           LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                                           LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
                                           LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                                           PFILETIME lpftLastWriteTime);

// Heap (posix/heap.cpp).
VELMORA_PLATFORM_API HANDLE GetProcessHeap(void);
VELMORA_PLATFORM_API LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes);
VELMORA_PLATFORM_API LPVOID HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes);
VELMORA_PLATFORM_API BOOL HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem);

// 8-bit strings (posix/strings.cpp); a missing text counts as the empty text.
VELMORA_PLATFORM_API int lstrlenA(LPCSTR lpString);
VELMORA_PLATFORM_API LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2);
VELMORA_PLATFORM_API LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength);
VELMORA_PLATFORM_API LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2);
VELMORA_PLATFORM_API int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2);

// Processes (posix/process.cpp).
VELMORA_PLATFORM_API BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                                         LPSECURITY_ATTRIBUTES lpProcessAttributes,
                                         LPSECURITY_ATTRIBUTES lpThreadAttributes,
                                         BOOL bInheritHandles, DWORD dwCreationFlags,
                                         LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                                         LPSTARTUPINFOA lpStartupInfo,
                                         LPPROCESS_INFORMATION lpProcessInformation);
VELMORA_PLATFORM_API BOOL CloseHandle(HANDLE hObject);
