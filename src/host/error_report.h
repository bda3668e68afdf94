// Showing a failure code to the user: a message box from the host, only while the option
// ShowErrors is on. Nothing is ever logged.
#pragma once

// The message for each code, by index; 0 is no error and never shown.
extern const int ErrorMessageTable[5];

// Shows `code` (1 to 5). Code 1 names the last name a jump did not find.
void ReportError(int code);
