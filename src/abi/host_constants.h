// The host's constants that the module uses; the same values in every variant of the
// interface.
#pragma once

enum OPENPLUGIN_OPENFROM {
    OPEN_DISKMENU = 0,
    OPEN_PLUGINSMENU = 1,
    OPEN_FINDLIST = 2,
    OPEN_SHORTCUT = 3,
    OPEN_COMMANDLINE = 4,
};

// How the host calls a panel: searches and other background walks set these bits.
enum OPERATION_MODES {
    OPM_SILENT = 0x0001,
    OPM_FIND = 0x0002,
};

enum FILE_CONTROL_COMMANDS {
    FCTL_CLOSEPLUGIN = 0,
    FCTL_GETPANELINFO = 1,
    FCTL_GETANOTHERPANELINFO = 2,
    FCTL_UPDATEPANEL = 3,
    FCTL_UPDATEANOTHERPANEL = 4,
    FCTL_REDRAWPANEL = 5,
    FCTL_REDRAWANOTHERPANEL = 6,
    FCTL_SETANOTHERPANELDIR = 7,
    FCTL_SETCMDLINE = 9,
    // Moves a file panel to a directory, which FCTL_CLOSEPLUGIN does only in the 1.70 host.
    FCTL_SETPANELDIR = 16,
};

enum ADVANCED_CONTROL_COMMANDS {
    // The host's version; each layout's header decodes its answer (HostMajorVersion).
    ACTL_GETFARVERSION = 0,
    ACTL_POSTKEYSEQUENCE = 8,
};

enum FARMESSAGEFLAGS {
    FMSG_MB_OK = 0x00010000,
    FMSG_MB_OKCANCEL = 0x00020000,
};

enum MENUFLAGS {
    FMENU_WRAPMODE = 0x00000002,
    FMENU_AUTOHIGHLIGHT = 0x00000004,
};

enum DialogItemTypes {
    DI_TEXT = 0,
    DI_DOUBLEBOX = 3,
    DI_EDIT = 4,
    DI_BUTTON = 7,
    DI_CHECKBOX = 8,
};

enum FarDialogItemFlags {
    DIF_HISTORY = 0x00040000,
    DIF_HIDDEN = 0x10000000,
};

enum OPENPLUGININFO_FLAGS {
    OPIF_USEFILTER = 0x00000001,
    OPIF_USEHIGHLIGHTING = 0x00000004,
    OPIF_ADDDOTS = 0x00000008,
    OPIF_RAWSELECTION = 0x00000010,
    OPIF_SHOWNAMESONLY = 0x00000040,
    OPIF_SHOWRIGHTALIGNNAMES = 0x00000080,
    OPIF_SHOWPRESERVECASE = 0x00000100,
};

enum PROCESSKEY_FLAGS {
    PKF_CONTROL = 0x00000001,
    PKF_ALT = 0x00000002,
    PKF_SHIFT = 0x00000004,
    PKF_PREPROCESS = 0x00080000,
};

// far2l calls ProcessKey up to four times per key press: a pre-processing pass with the bit of
// PKF_PREPROCESS set in the key itself (TRUE there swallows the key), the key, and two key
// releases, kFar2lKeyRelease with and without that bit.
constexpr int kFar2lKeyRelease = 0x1;

// Key codes the panel handles: Windows virtual-key codes.
enum PanelKeyCodes {
    KEY_LBUTTON = 0x01,
    KEY_RETURN = 0x0D,
    KEY_R = 0x52,
    KEY_F3 = 0x72,
    KEY_F4 = 0x73,
    KEY_F5 = 0x74,
    KEY_F6 = 0x75,
    KEY_F7 = 0x76,
    KEY_F8 = 0x77,
};
