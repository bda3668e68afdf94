// Showing a failure to the user: a message box from the host. Failure codes and the faults of a
// command show only while the option ShowErrors is on; a dialog's refusal of what was typed into
// it always shows, since the dialog comes back and would otherwise say nothing. Nothing is ever
// logged.
#pragma once

// The message for each code, by index; 0 (no error, and ErrNoReport) is never shown.
extern const int ErrorMessageTable[15];

// Shows `code` (1 to 13). Code 1 names the last name a jump or a delete did not find, quoted so
// that blanks at its ends are seen. Where the host can say what the store's files went through
// (HostServices::ShowStoreFaults), that is said first, whatever the setting, and stands for the
// module's own word on a store that failed.
void ReportError(int code);
// Shows message `message` under the error title, and `subject` (the text it is about, when not
// null) on a line of its own: ShowRefusal always, ReportFault only while ShowErrors is on.
void ShowRefusal(int message, const char* subject);
void ReportFault(int message, const char* subject);
