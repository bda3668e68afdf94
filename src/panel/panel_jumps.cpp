// The panel's jumps to a stored name, carried as every jump is (commands/jump.h).
#include "commands/jump.h"
#include "shortcut_panel.h"
#include "store/name_store.h"

int ShortcutPanel::GoToName(const char* name) {
    // The name is looked up whole, unsplit at separators and without completion.
    TextBuffer target;
    if (LookupName(name, target) != 1) {
        return 0;
    }
    JumpTo(target.data, false);
    return 1;
}

void ShortcutPanel::JumpTo(char* target, bool otherPanel) {
    CarryTarget(this, target, otherPanel);
}
