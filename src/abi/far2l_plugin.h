// Our declarations of far2l's multibyte plugin interface (2.6.5, x86-64 Linux): the records of
// the 1.70 interface as far2l lays them out. Texts are UTF-8, every record is packed to 2 bytes
// although pointers are 8, paths hold 4096 bytes, and the find-data record is rebuilt. The
// same module runs in far2l 2.8, whose records differ only past the parts declared here as
// "Differs" (see the end of this file).
#pragma once

#include <cstdint>

#include "platform.h"

#pragma pack(push, 2)

#include "host_records.h"

struct FAR_FIND_DATA {
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    uint64_t nPhysicalSize;
    uint64_t nFileSize;
    DWORD dwFileAttributes;
    DWORD dwUnixMode;
    char cFileName[255];
};

struct PluginPanelItem {
    FAR_FIND_DATA FindData;
    DWORD_PTR UserData;
    DWORD Flags;
    DWORD NumberOfLinks;
    char* Description;
    char* Owner;
    char* Group;
    char** CustomColumnData;
    int CustomColumnNumber;
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
    char CurDir[4096];
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
    DWORD SysID;
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
    // 2.6.5's Reserved (long); 2.8 has CurURL here, and CurPath and Reserved behind it.
    unsigned char Differs[8];
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
    void* Reserved[20];
    FARAPIUNUSED Others[35];
};

struct PluginStartupInfo {
    int StructSize;
    char ModuleName[4096];
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
    // 2.6.5's DialogEx, SendDlgMessage, DefDlgProc, Reserved and ViewerControl; 2.8 inserts
    // ColorDialog before them.
    unsigned char Differs[40];
};

#pragma pack(pop)

// far2l reads the version as (major << 16) | minor and refuses anything above 2.6, the Windows
// host's 1.70 build 1282 among them; 2.6 is the oldest far2l with this interface.
constexpr int kMinFarVersion = 0x00020006;

#include "host_constants.h"

// far2l answers ACTL_GETFARVERSION with (major << 16) | minor: 0x00020006 from 2.6.5
// (measured), 0x00020008 from 2.8.
constexpr int HostMajorVersion(INT_PTR answer) {
    return static_cast<int>((answer >> 16) & 0xFFFF);
}
constexpr INT_PTR MakeHostVersion(int major, int minor) {
    return static_cast<INT_PTR>(major) << 16 | minor;
}

#include <cstddef>
static_assert(sizeof(PluginStartupInfo) == 4316, "PluginStartupInfo");
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 4100, "ModuleNumber");
static_assert(offsetof(PluginStartupInfo, Menu) == 4116, "Menu");
static_assert(offsetof(PluginStartupInfo, GetMsg) == 4140, "GetMsg");
static_assert(offsetof(PluginStartupInfo, Control) == 4148, "Control");
static_assert(offsetof(PluginStartupInfo, CmpName) == 4212, "CmpName");
static_assert(offsetof(PluginStartupInfo, FSF) == 4244, "FSF");
static_assert(offsetof(PluginStartupInfo, AdvControl) == 4260, "AdvControl");
static_assert(offsetof(PluginStartupInfo, InputBox) == 4268, "InputBox");
static_assert(sizeof(FarStandardFunctions) == 524, "FarStandardFunctions");
static_assert(offsetof(FarStandardFunctions, sprintf) == 36, "sprintf");
static_assert(offsetof(FarStandardFunctions, snprintf) == 76, "snprintf");
static_assert(offsetof(FarStandardFunctions, Reserved) == 84, "FSF Reserved");
static_assert(sizeof(PluginInfo) == 64, "PluginInfo");
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 28, "PluginMenuStrings");
static_assert(offsetof(PluginInfo, CommandPrefix) == 52, "CommandPrefix");
static_assert(sizeof(OpenPluginInfo) == 112, "OpenPluginInfo");
static_assert(offsetof(OpenPluginInfo, PanelTitle) == 32, "PanelTitle");
static_assert(offsetof(OpenPluginInfo, PanelModesArray) == 64, "PanelModesArray");
static_assert(offsetof(OpenPluginInfo, StartPanelMode) == 76, "StartPanelMode");
static_assert(offsetof(OpenPluginInfo, KeyBar) == 88, "KeyBar");
static_assert(sizeof(PanelMode) == 64, "PanelMode");
static_assert(offsetof(PanelMode, StatusColumnTypes) == 40, "StatusColumnTypes");
static_assert(sizeof(KeyBarTitles) == 672, "KeyBarTitles");
static_assert(sizeof(FAR_FIND_DATA) == 304, "FAR_FIND_DATA");
static_assert(offsetof(FAR_FIND_DATA, dwFileAttributes) == 40, "dwFileAttributes");
static_assert(offsetof(FAR_FIND_DATA, cFileName) == 48, "cFileName");
static_assert(sizeof(PluginPanelItem) == 376, "PluginPanelItem");
static_assert(offsetof(PluginPanelItem, UserData) == 304, "UserData");
static_assert(offsetof(PluginPanelItem, Description) == 320, "Description");
static_assert(offsetof(PluginPanelItem, CustomColumnNumber) == 352, "CustomColumnNumber");
static_assert(sizeof(PanelInfo) == 4336, "PanelInfo");
static_assert(offsetof(PanelInfo, SelectedItems) == 36, "SelectedItems");
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == 44, "SelectedItemsNumber");
static_assert(offsetof(PanelInfo, CurrentItem) == 48, "CurrentItem");
static_assert(offsetof(PanelInfo, CurDir) == 228, "CurDir");
static_assert(offsetof(PanelInfo, SortMode) == 4324, "SortMode");
static_assert(sizeof(FarDialogItem) == 552, "FarDialogItem");
static_assert(offsetof(FarDialogItem, Selected) == 24, "Selected");
static_assert(offsetof(FarDialogItem, Flags) == 32, "Flags");
static_assert(offsetof(FarDialogItem, Data) == 40, "Data");
static_assert(sizeof(FarMenuItem) == 140, "FarMenuItem");
static_assert(sizeof(KeySequence) == 16, "KeySequence");

// far2l 2.8 (measured against 2.6.5). Grown: PluginStartupInfo 4316 -> 4324 (ColorDialog
// inserted at 4276, after InputBox; DialogEx 4284, SendDlgMessage 4292, DefDlgProc 4300,
// Reserved 4308, ViewerControl 4316); FarStandardFunctions 524 -> 532 (GetFileGroup appended);
// OpenPluginInfo 112 -> 128 (CurURL 104 and CurPath 112 inserted, Reserved 120). The host hands
// its own StructSize, so 4316 and 4324 tell the versions apart. PluginInfo stays 64, but 2.8
// reads SysID (60), which the host zero-fills before the call. Every other record, FCTL, ACTL,
// OPIF, PKF, DI, DIF, FMSG and FMENU value is the same. Both versions take the module's
// GetMinFarVersion (2.6). The parts where they differ carry no field name above, so a use of
// them does not compile; here the parts both share end:
constexpr size_t kStartupInfoShared = 4276;
constexpr size_t kStandardFunctionsShared = 524;
constexpr size_t kOpenPluginInfoShared = 104;
static_assert(offsetof(PluginStartupInfo, Differs) == kStartupInfoShared, "PSI differs there");
static_assert(sizeof(FarStandardFunctions) <= kStandardFunctionsShared, "FSF grew in 2.8");
static_assert(offsetof(OpenPluginInfo, Differs) == kOpenPluginInfoShared, "OPI differs there");
// The fields the module reads in those records, and the furthest one it writes.
#define VELMORA_SHARED(record, field, shared)                                  \
    static_assert(offsetof(record, field) + sizeof(record::field) <= (shared), \
                  #record "::" #field " lies where far2l 2.6 and 2.8 differ")
VELMORA_SHARED(PluginStartupInfo, ModuleNumber, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, Menu, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, Dialog, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, Message, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, GetMsg, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, Control, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, CmpName, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, FSF, kStartupInfoShared);
VELMORA_SHARED(PluginStartupInfo, AdvControl, kStartupInfoShared);
VELMORA_SHARED(FarStandardFunctions, sprintf, kStandardFunctionsShared);
VELMORA_SHARED(OpenPluginInfo, KeyBar, kOpenPluginInfoShared);
#undef VELMORA_SHARED
