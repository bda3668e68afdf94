// The commands typed behind the prefix as the module's own operations: resolve a jump, add a
// name, delete a name, each giving back what it came to and why. The host's command line
// (command_line.h) turns a result into the codes and boxes it shows; a program that links the
// module in turns the same result into its own output, and keeps no rule of its own.
#pragma once

#include <cstddef>

#include "abi/plugin_abi.h"
#include "completion_menu.h"
#include "store/text_buffer.h"

// The longest directory an add stores unless the system tells that the host handed it over
// whole. A host hands over a longer directory cut to the panel's field (Far 3 gives a 1.x plugin
// 259 characters), so one that fills the field, all but its terminating zero, may not be the one
// the user is in.
constexpr size_t kLongestStoredDirectory = sizeof(PanelInfo::CurDir) - 2;

enum class CommandKind {
    // The empty text: the name panel opens.
    kPanel,
    kJump,
    kAddTemporary,
    kAddPermanent,
    kDelete,
};

// A text as typed behind the prefix: the first character alone decides the command, so a name
// that begins with '+', ':' or '-' cannot be reached from the command line.
struct TypedCommand {
    CommandKind kind;
    // What the command acts on: the text behind the command's character, or a jump's whole text.
    const char* text;
};
TypedCommand ReadCommand(const char* text);

enum class CommandReason {
    // Carried out: a jump found its target, an add stored, a delete deleted.
    kDone,
    // A jump's name, or the name to delete, is stored nowhere.
    kNotStored,
    // The user cancelled the menu of names a jump offered.
    kMenuCancelled,
    // A jump found no name, and the whole text names a filter: a panel opens on it instead.
    kFilter,
    // A jump resolved without the host that only the host can take further: its match and its
    // menu decide the completion.
    kAsksHost,
    // A jump holding a '?' that a Windows host may have put for a letter its code page lacks
    // found no name, and is not completed (the host shows MNoCompletion).
    kLetterNotCompleted,
    // An add or a delete without a name; an add whose name is empty behind the last colon of a
    // command for another plugin ("ftp:").
    kNoNameToAdd,
    kNoNameToDelete,
    kNoNameBehindColon,
    // Names no jump from the command line reaches again (name_rule.h), and one longer than the
    // registry holds.
    kNameWithSeparator,
    kNameBeginsWithCommand,
    kNameWithWildcard,
    kNameTooLong,
    // The directory an add was given: none (a panel of a plugin), one that may have been cut to
    // the host's field, one the host could not hand over whole.
    kNoDirectory,
    kDirectoryTooLong,
    kDirectoryNotWhole,
    // The target an add would store begins with the module's prefix and would run itself.
    kTargetRunsPrefix,
    // The store could not be opened, or refused a write.
    kStoreFailed,
    // A delete the store refused: the name is still stored.
    kStillStored,
    kNoMemory,
    kUnexpected,
};

// What a command came to. The fields beside the reason hold what the reason says they hold, and
// are emptied when a command starts.
struct CommandResult {
    CommandReason reason = CommandReason::kUnexpected;
    // An add: the value name it wrote (the name behind a command's last colon) and the target
    // it stored, whether it replaced a target stored under that name, and which.
    TextBuffer name;
    TextBuffer target;
    bool replaced = false;
    TextBuffer was;
    // A jump that found its target: the target with the rest joined (a directory, or a command
    // for another plugin), and when the host would refuse to carry it to the active panel
    // (CarryRefusal), the message that says so of the target; when it found the name itself
    // rather than a completion of it, the name as typed in `name` and its target as stored in
    // `was`. kFilter: the filter's pattern in `target`.
    int refusal = 0;
};

// The failure code the host reports for a reason (errors.h); 0 for kDone.
int ReasonCode(CommandReason reason);

// The three commands fill `result`, the caller's.
//
// A jump to `text`: its name looked up among the temporary names, then the permanent ones, and
// completed from the permanent names while AutoComplite is on, its rest joined with the host's
// separator. With a null `probe` the completion is the host's (CompleteName: its match, and its
// menu for several names); with one, nothing of the host is called, and a completion that may
// offer a name (CompletionMayOffer) gives kAsksHost.
void ResolveJump(const char* text, NameProbe probe, CommandResult& result);
// An add of the name `name` (as typed behind '+' or ':') for `directory`, the active panel's,
// or null when the host could not describe the panel (kUnexpected). Names and directories are
// judged before anything is written, the name first.
void AddNameCommand(const char* name, const char* directory, bool permanent, CommandResult& result);
// A delete of the name `name`: the permanent one when there is one, else the temporary one.
void DeleteNameCommand(const char* name, CommandResult& result);
