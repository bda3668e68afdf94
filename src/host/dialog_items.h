// Filling the host's dialog records, one item at a time.
#pragma once

#include "abi/plugin_abi.h"

// The most text a dialog item holds: its 512-byte field with the terminator.
constexpr int kMaxDialogText = sizeof(FarDialogItem::Data) - 1;

// Zero-fills `item`, sets the nine numbers and copies `text`, cut to kMaxDialogText bytes so
// that nothing is written past the field.
void InitDialogItem(FarDialogItem& item, int type, int x1, int y1, int x2, int y2, int focus,
                    int selected, DWORD flags, int defaultButton, const char* text);
// The text of edit item `item` after its dialog, terminated within the field. A text longer
// than the field was shown cut; when the field comes back exactly as shown, the whole
// `original` is meant, not the cut text that would replace it.
const char* WholeIfUnchanged(FarDialogItem& item, const char* original);
// A check box: the host sizes it from its text, so it takes no right or bottom edge.
void InitCheckBox(FarDialogItem& item, int x1, int y1, int focus, int selected, DWORD flags,
                  int defaultButton, const char* text);
