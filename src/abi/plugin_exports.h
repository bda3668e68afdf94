// The module's exports, listed once: the host finds each by its plain name and calls it in its
// calling convention. VELMORA_PLUGIN_EXPORTS(X) expands X(result, name, parameters, arguments)
// for each export, in the host's order: the declarations below, the export layers, the
// program's exports linked in and the stand-in host's loader are made from it, and the build
// reads the names from here for the DLL's .def file and the version script of the others.
#pragma once

#include "plugin_abi.h"

// clang-format off
#define VELMORA_PLUGIN_EXPORTS(X)                                                                  \
    X(void, SetStartupInfo, (const PluginStartupInfo* Info), (Info))                               \
    X(int, GetMinFarVersion, (), ())                                                               \
    X(void, GetPluginInfo, (PluginInfo* Info), (Info))                                             \
    X(HANDLE, OpenPlugin, (int OpenFrom, INT_PTR Item), (OpenFrom, Item))                          \
    X(void, ClosePlugin, (HANDLE hPlugin), (hPlugin))                                              \
    X(int, Configure, (int ItemNumber), (ItemNumber))                                              \
    X(void, GetOpenPluginInfo, (HANDLE hPlugin, OpenPluginInfo* Info), (hPlugin, Info))            \
    X(int, GetFindData,                                                                            \
      (HANDLE hPlugin, PluginPanelItem** pPanelItem, int* pItemsNumber, int OpMode),               \
      (hPlugin, pPanelItem, pItemsNumber, OpMode))                                                 \
    X(int, SetDirectory, (HANDLE hPlugin, const char* Dir, int OpMode), (hPlugin, Dir, OpMode))    \
    X(int, ProcessKey, (HANDLE hPlugin, int Key, unsigned int ControlState),                       \
      (hPlugin, Key, ControlState))                                                                \
    X(int, MakeDirectory, (HANDLE hPlugin, char* Name, int OpMode), (hPlugin, Name, OpMode))
// clang-format on

// The exports as C functions of the module; a build links one export layer that defines them.
#define VELMORA_DECLARE_EXPORT(result, name, parameters, arguments) \
    VELMORA_EXPORT result WINAPI name parameters;
VELMORA_PLUGIN_EXPORTS(VELMORA_DECLARE_EXPORT)
#undef VELMORA_DECLARE_EXPORT
