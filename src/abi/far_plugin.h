// Our declarations of the host's plugin interface 1.70 (8-bit texts): records, constants and
// service signatures, field for field in the host's order. The 32-bit Windows host packs every
// record to 2 bytes; the 64-bit hosts (Far 3 x64 through its wrapper) and so the 64-bit DLL and
// the native module lay them out naturally, with every int and DWORD kept at 4 bytes.
#pragma once

#include <cstdint>

#include "platform.h"

#if defined(_WIN32) && !defined(_WIN64)
#define VELMORA_HOST_PACKED 1
#pragma pack(push, 2)
#endif

#include "host_records.h"

struct FAR_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[260];
    char cAlternateFileName[14];
};

struct PluginPanelItem {
    FAR_FIND_DATA FindData;
    DWORD PackSizeHigh;
    DWORD PackSize;
    DWORD Flags;
    DWORD NumberOfLinks;
    char* Description;
    char* Owner;
    char** CustomColumnData;
    int CustomColumnNumber;
    // Pointer-sized: 4 bytes in the 32-bit host, 8 in the 64-bit ones, where the item is 400
    // bytes and 4-byte slots would put every item after the first at the wrong place.
    DWORD_PTR UserData;
    DWORD CRC32;
    DWORD_PTR Reserved[2];
};

struct PanelInfo {
    int PanelType;
    int Plugin;
    FarRect PanelRect;
    PluginPanelItem* PanelItems;
    int ItemsNumber;
    PluginPanelItem* SelectedItems;
    int SelectedItemsNumber;
    int CurrentItem;
    int TopPanelItem;
    int Visible;
    int Focus;
    int ViewMode;
    char ColumnTypes[80];
    char ColumnWidths[80];
    char CurDir[260];
    int ShortNames;
    int SortMode;
    DWORD Flags;
    DWORD Reserved;
};

struct PluginInfo {
    int StructSize;
    DWORD Flags;
    const char* const* DiskMenuStrings;
    int* DiskMenuNumbers;
    int DiskMenuStringsNumber;
    const char* const* PluginMenuStrings;
    int PluginMenuStringsNumber;
    const char* const* PluginConfigStrings;
    int PluginConfigStringsNumber;
    const char* CommandPrefix;
    DWORD Reserved;
};

struct InfoPanelLine;

struct OpenPluginInfo {
    int StructSize;
    DWORD Flags;
    const char* HostFile;
    const char* CurDir;
    const char* Format;
    const char* PanelTitle;
    const InfoPanelLine* InfoLines;
    int InfoLinesNumber;
    const char* const* DescrFiles;
    int DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int PanelModesNumber;
    int StartPanelMode;
    int StartSortMode;
    int StartSortOrder;
    const KeyBarTitles* KeyBar;
    const char* ShortcutData;
    int32_t Reserved;
};

struct FarStandardFunctions {
    int StructSize;
    FARAPIUNUSED atoi;
    FARAPIUNUSED atoi64;
    FARAPIUNUSED itoa;
    FARAPIUNUSED itoa64;
    FARSTDSPRINTF sprintf;
    FARAPIUNUSED sscanf;
    FARAPIUNUSED qsort;
    FARAPIUNUSED bsearch;
    FARAPIUNUSED qsortex;
    FARAPIUNUSED snprintf;
    void* Reserved[8];
    FARAPIUNUSED Others[38];
};

struct PluginStartupInfo {
    int StructSize;
    char ModuleName[260];
    INT_PTR ModuleNumber;
    const char* RootKey;
    FARAPIMENU Menu;
    FARAPIDIALOG Dialog;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPIUNUSED SaveScreen;
    FARAPIUNUSED RestoreScreen;
    FARAPIUNUSED GetDirList;
    FARAPIUNUSED GetPluginDirList;
    FARAPIUNUSED FreeDirList;
    FARAPIUNUSED Viewer;
    FARAPIUNUSED Editor;
    FARAPICMPNAME CmpName;
    FARAPIUNUSED CharTable;
    FARAPIUNUSED Text;
    FARAPIUNUSED EditorControl;
    FarStandardFunctions* FSF;
    FARAPIUNUSED ShowHelp;
    FARAPIADVCONTROL AdvControl;
    FARAPIUNUSED InputBox;
    FARAPIUNUSED DialogEx;
    FARAPIUNUSED SendDlgMessage;
    FARAPIUNUSED DefDlgProc;
    void* Reserved;
    FARAPIUNUSED ViewerControl;
};

#ifdef VELMORA_HOST_PACKED
#pragma pack(pop)
#endif

// The host version the module asks for: 1.70 build 1282.
constexpr int kMinFarVersion = 0x05020146;

#include "host_constants.h"

// ACTL_GETFARVERSION answers Major << 8 | Minor | Build << 16: major 1 from Far 1.70, 3 from
// Far 3 through its wrapper for these modules.
constexpr int HostMajorVersion(INT_PTR answer) {
    return static_cast<int>((answer >> 8) & 0xFF);
}
constexpr INT_PTR MakeHostVersion(int major, int minor) {
    return static_cast<INT_PTR>(major) << 8 | minor;
}

#ifdef VELMORA_HOST_PACKED
#include <cstddef>
static_assert(sizeof(PluginStartupInfo) == 372, "PluginStartupInfo");
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264, "ModuleNumber");
static_assert(offsetof(PluginStartupInfo, Menu) == 272, "Menu");
static_assert(offsetof(PluginStartupInfo, GetMsg) == 284, "GetMsg");
static_assert(offsetof(PluginStartupInfo, Control) == 288, "Control");
static_assert(offsetof(PluginStartupInfo, CmpName) == 320, "CmpName");
static_assert(offsetof(PluginStartupInfo, FSF) == 336, "FSF");
static_assert(offsetof(PluginStartupInfo, AdvControl) == 344, "AdvControl");
static_assert(offsetof(PluginStartupInfo, ViewerControl) == 368, "ViewerControl");
static_assert(sizeof(FarStandardFunctions) == 228, "FarStandardFunctions");
static_assert(offsetof(FarStandardFunctions, sprintf) == 20, "sprintf");
static_assert(offsetof(FarStandardFunctions, Reserved) == 44, "FSF Reserved");
static_assert(sizeof(PluginInfo) == 44, "PluginInfo");
static_assert(offsetof(PluginInfo, CommandPrefix) == 36, "CommandPrefix");
static_assert(sizeof(OpenPluginInfo) == 72, "OpenPluginInfo");
static_assert(offsetof(OpenPluginInfo, PanelTitle) == 20, "PanelTitle");
static_assert(offsetof(OpenPluginInfo, PanelModesArray) == 40, "PanelModesArray");
static_assert(offsetof(OpenPluginInfo, StartPanelMode) == 48, "StartPanelMode");
static_assert(offsetof(OpenPluginInfo, KeyBar) == 60, "KeyBar");
static_assert(sizeof(PanelMode) == 44, "PanelMode");
static_assert(offsetof(PanelMode, FullScreen) == 12, "FullScreen");
static_assert(sizeof(KeyBarTitles) == 336, "KeyBarTitles");
static_assert(sizeof(FAR_FIND_DATA) == 318, "FAR_FIND_DATA");
static_assert(offsetof(FAR_FIND_DATA, cFileName) == 44, "cFileName");
static_assert(sizeof(PluginPanelItem) == 366, "PluginPanelItem");
static_assert(offsetof(PluginPanelItem, PackSizeHigh) == 318, "PackSizeHigh");
static_assert(offsetof(PluginPanelItem, Description) == 334, "Description");
static_assert(offsetof(PluginPanelItem, Reserved) == 358, "Reserved");
static_assert(sizeof(PanelInfo) == 496, "PanelInfo");
static_assert(offsetof(PanelInfo, SelectedItems) == 32, "SelectedItems");
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == 36, "SelectedItemsNumber");
static_assert(offsetof(PanelInfo, CurrentItem) == 40, "CurrentItem");
static_assert(offsetof(PanelInfo, CurDir) == 220, "CurDir");
static_assert(offsetof(PanelInfo, ShortNames) == 480, "ShortNames");
static_assert(sizeof(FarDialogItem) == 548, "FarDialogItem");
static_assert(offsetof(FarDialogItem, Selected) == 24, "Selected");
static_assert(offsetof(FarDialogItem, Flags) == 28, "Flags");
static_assert(offsetof(FarDialogItem, Data) == 36, "Data");
static_assert(sizeof(FarMenuItem) == 140, "FarMenuItem");
static_assert(sizeof(KeySequence) == 12, "KeySequence");
static_assert(offsetof(PluginPanelItem, UserData) == 350, "UserData");
#elif defined(__x86_64__)
// The 64-bit hosts' layout: natural alignment, pointer-sized slots at 8 bytes, every int and
// DWORD at 4.
#include <cstddef>
static_assert(sizeof(PluginStartupInfo) == 480, "PluginStartupInfo");
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264, "ModuleNumber");
static_assert(offsetof(PluginStartupInfo, RootKey) == 272, "RootKey");
static_assert(offsetof(PluginStartupInfo, Menu) == 280, "Menu");
static_assert(offsetof(PluginStartupInfo, GetMsg) == 304, "GetMsg");
static_assert(offsetof(PluginStartupInfo, Control) == 312, "Control");
static_assert(offsetof(PluginStartupInfo, CmpName) == 376, "CmpName");
static_assert(offsetof(PluginStartupInfo, FSF) == 408, "FSF");
static_assert(offsetof(PluginStartupInfo, AdvControl) == 424, "AdvControl");
static_assert(offsetof(PluginStartupInfo, Reserved) == 464, "Startup Reserved");
static_assert(offsetof(PluginStartupInfo, ViewerControl) == 472, "ViewerControl");
static_assert(sizeof(FarStandardFunctions) == 456, "FarStandardFunctions");
static_assert(offsetof(FarStandardFunctions, sprintf) == 40, "sprintf");
static_assert(offsetof(FarStandardFunctions, snprintf) == 80, "snprintf");
static_assert(offsetof(FarStandardFunctions, Reserved) == 88, "FSF Reserved");
static_assert(sizeof(PluginInfo) == 80, "PluginInfo");
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8, "DiskMenuStrings");
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 32, "PluginMenuStrings");
static_assert(offsetof(PluginInfo, PluginConfigStrings) == 48, "PluginConfigStrings");
static_assert(offsetof(PluginInfo, CommandPrefix) == 64, "CommandPrefix");
static_assert(offsetof(PluginInfo, Reserved) == 72, "PluginInfo Reserved");
static_assert(sizeof(OpenPluginInfo) == 120, "OpenPluginInfo");
static_assert(offsetof(OpenPluginInfo, CurDir) == 16, "OpenPluginInfo CurDir");
static_assert(offsetof(OpenPluginInfo, PanelTitle) == 32, "PanelTitle");
static_assert(offsetof(OpenPluginInfo, PanelModesArray) == 72, "PanelModesArray");
static_assert(offsetof(OpenPluginInfo, StartPanelMode) == 84, "StartPanelMode");
static_assert(offsetof(OpenPluginInfo, KeyBar) == 96, "KeyBar");
static_assert(offsetof(OpenPluginInfo, Reserved) == 112, "OpenPluginInfo Reserved");
static_assert(sizeof(PanelMode) == 64, "PanelMode");
static_assert(offsetof(PanelMode, FullScreen) == 24, "FullScreen");
static_assert(offsetof(PanelMode, StatusColumnTypes) == 40, "StatusColumnTypes");
static_assert(offsetof(PanelMode, Reserved) == 56, "PanelMode Reserved");
static_assert(sizeof(KeyBarTitles) == 672, "KeyBarTitles");
static_assert(sizeof(FAR_FIND_DATA) == 320, "FAR_FIND_DATA");
static_assert(offsetof(FAR_FIND_DATA, cFileName) == 44, "cFileName");
static_assert(offsetof(FAR_FIND_DATA, cAlternateFileName) == 304, "cAlternateFileName");
static_assert(sizeof(PluginPanelItem) == 400, "PluginPanelItem");
static_assert(offsetof(PluginPanelItem, PackSizeHigh) == 320, "PackSizeHigh");
static_assert(offsetof(PluginPanelItem, Description) == 336, "Description");
static_assert(offsetof(PluginPanelItem, CustomColumnNumber) == 360, "CustomColumnNumber");
static_assert(offsetof(PluginPanelItem, UserData) == 368, "UserData");
static_assert(offsetof(PluginPanelItem, CRC32) == 376, "CRC32");
static_assert(offsetof(PluginPanelItem, Reserved) == 384, "Reserved");
static_assert(sizeof(PanelInfo) == 512, "PanelInfo");
static_assert(offsetof(PanelInfo, PanelItems) == 24, "PanelItems");
static_assert(offsetof(PanelInfo, ItemsNumber) == 32, "ItemsNumber");
static_assert(offsetof(PanelInfo, SelectedItems) == 40, "SelectedItems");
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == 48, "SelectedItemsNumber");
static_assert(offsetof(PanelInfo, CurrentItem) == 52, "CurrentItem");
static_assert(offsetof(PanelInfo, CurDir) == 232, "CurDir");
static_assert(offsetof(PanelInfo, ShortNames) == 492, "ShortNames");
static_assert(offsetof(PanelInfo, Reserved) == 504, "PanelInfo Reserved");
static_assert(sizeof(FarDialogItem) == 552, "FarDialogItem");
static_assert(offsetof(FarDialogItem, Selected) == 24, "Selected");
static_assert(offsetof(FarDialogItem, Flags) == 32, "Flags");
static_assert(offsetof(FarDialogItem, DefaultButton) == 36, "DefaultButton");
static_assert(offsetof(FarDialogItem, Data) == 40, "Data");
static_assert(sizeof(FarMenuItem) == 140, "FarMenuItem");
static_assert(offsetof(FarMenuItem, Selected) == 128, "Menu Selected");
static_assert(sizeof(KeySequence) == 16, "KeySequence");
static_assert(offsetof(KeySequence, Count) == 4, "Count");
static_assert(offsetof(KeySequence, Sequence) == 8, "Sequence");
#endif
