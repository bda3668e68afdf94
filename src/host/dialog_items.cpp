// Dialog items. A stored name, path, pattern or prefix can be longer than an item's text field;
// it is cut there, since the host reads the field as one zero-terminated text, and taken whole
// again when the field comes back unchanged.
#include "dialog_items.h"

#include <cstring>

void InitDialogItem(FarDialogItem& item, int type, int x1, int y1, int x2, int y2, int focus,
                    int selected, DWORD flags, int defaultButton, const char* text) {
    std::memset(&item, 0, sizeof item);
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    item.Focus = focus;
    item.Selected = selected;
    item.Flags = flags;
    item.DefaultButton = defaultButton;
    size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > static_cast<size_t>(kMaxDialogText)) {
        length = kMaxDialogText;
    }
    if (length > 0) {
        std::memcpy(item.Data, text, length);
    }
    item.Data[length] = '\0';
}

const char* WholeIfUnchanged(FarDialogItem& item, const char* original) {
    item.Data[kMaxDialogText] = '\0';
    if (std::strlen(original) > static_cast<size_t>(kMaxDialogText) &&
        std::strlen(item.Data) == static_cast<size_t>(kMaxDialogText) &&
        std::memcmp(item.Data, original, kMaxDialogText) == 0) {
        return original;
    }
    return item.Data;
}

void InitCheckBox(FarDialogItem& item, int x1, int y1, int focus, int selected, DWORD flags,
                  int defaultButton, const char* text) {
    InitDialogItem(item, DI_CHECKBOX, x1, y1, 0, 0, focus, selected, flags, defaultButton, text);
}
