// What the stand-in host asks a person, or a script, to answer: menus, dialogs and message
// boxes, with the texts and fields the module gave. Tests answer from a script; the velmora
// program answers from the terminal.
#pragma once

#include <string>
#include <vector>

#include "abi/plugin_abi.h"

struct MenuCall {
    std::vector<std::string> items;
    std::vector<int> selected;  // the items' Selected fields, as the module set them
    DWORD flags = 0;
    std::string title;
};

struct DialogField {
    int type = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int focus = 0;
    int selected = 0;     // check state of a check box
    std::string history;  // history name of an edit field with DIF_HISTORY
    DWORD flags = 0;
    int defaultButton = 0;
    std::string text;
};

struct DialogCall {
    int width = 0, height = 0;
    std::vector<DialogField> items;
};

struct MessageCall {
    DWORD flags = 0;
    std::vector<std::string> lines;  // the first is the title
    int buttons = 0;
};

class FrontEnd {
  public:
    virtual ~FrontEnd() = default;
    // The chosen item's index, or -1 when cancelled.
    virtual int Menu(const MenuCall& call) = 0;
    // The index of the item that closed the dialog, or -1 when cancelled; edits the fields'
    // texts and check states in place.
    virtual int Dialog(DialogCall& call) = 0;
    // The pressed button, 0 for OK.
    virtual int Message(const MessageCall& call) = 0;
};
