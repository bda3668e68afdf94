// The host's records and services whose declarations are the same in every variant of its
// interface. Each variant includes this inside its own packing, so the layout follows it.
#pragma once

struct PluginPanelItem;

struct FarMenuItem {
    char Text[128];
    int Selected;
    int Checked;
    int Separator;
};

struct FarDialogItem {
    int Type;
    int X1, Y1, X2, Y2;
    int Focus;
    union {
        int Selected;
        const char* History;
    };
    DWORD Flags;
    int DefaultButton;
    char Data[512];
};

struct KeySequence {
    DWORD Flags;
    int Count;
    DWORD* Sequence;
};

struct FarRect {
    int left, top, right, bottom;
};

struct PanelMode {
    char* ColumnTypes;
    char* ColumnWidths;
    char** ColumnTitles;
    int FullScreen;
    int DetailedStatus;
    int AlignExtensions;
    int CaseConversion;
    char* StatusColumnTypes;
    char* StatusColumnWidths;
    DWORD Reserved[2];
};

struct KeyBarTitles {
    char* Titles[12];
    char* CtrlTitles[12];
    char* AltTitles[12];
    char* ShiftTitles[12];
    char* CtrlShiftTitles[12];
    char* AltShiftTitles[12];
    char* CtrlAltTitles[12];
};

typedef int(WINAPI* FARAPIMENU)(INT_PTR PluginNumber, int X, int Y, int MaxHeight, DWORD Flags,
                                const char* Title, const char* Bottom, const char* HelpTopic,
                                const int* BreakKeys, int* BreakCode, const FarMenuItem* Item,
                                int ItemsNumber);
typedef int(WINAPI* FARAPIDIALOG)(INT_PTR PluginNumber, int X1, int Y1, int X2, int Y2,
                                  const char* HelpTopic, FarDialogItem* Item, int ItemsNumber);
typedef int(WINAPI* FARAPIMESSAGE)(INT_PTR PluginNumber, DWORD Flags, const char* HelpTopic,
                                   const char* const* Items, int ItemsNumber, int ButtonsNumber);
typedef const char*(WINAPI* FARAPIGETMSG)(INT_PTR PluginNumber, int MsgId);
typedef int(WINAPI* FARAPICONTROL)(HANDLE hPlugin, int Command, void* Param);
typedef int(WINAPI* FARAPICMPNAME)(const char* Pattern, const char* String, int SkipPath);
typedef INT_PTR(WINAPI* FARAPIADVCONTROL)(INT_PTR ModuleNumber, int Command, void* Param);
typedef int(__cdecl* FARSTDSPRINTF)(char* Buffer, const char* Format, ...);
// A service the module never calls: only its slot in the table matters.
typedef void(WINAPI* FARAPIUNUSED)(void);
