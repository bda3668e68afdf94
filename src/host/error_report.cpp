// Error boxes. The table's messages cover codes 1 to 4; an add with an empty name (code 5) has
// no message of its own in the language files, so it gets a text of the module's own.
#include "error_report.h"

#include "../store/errors.h"
#include "../store/text_buffer.h"
#include "host_services.h"
#include "messages.h"
#include "module_state.h"

const int ErrorMessageTable[5] = {0, MNameNotFound, MRegistryError, MNoMemory, MUnexpectedError};

namespace {

const char kEmptyNameText[] = "There is no name to store: type it behind + or :";

}  // namespace

void ReportError(int code) {
    if (Settings.ShowErrors == 0) {
        return;
    }
    TextBuffer line;
    const char* lines[2] = {GetMsg(MErrorTitle), nullptr};
    if (code == ErrNotFound) {
        line.Assign(GetMsg(MNameNotFound));
        line.Append(LastUnknownName.Text());
        lines[1] = line.Text();
    } else if (code == ErrEmptyName) {
        lines[1] = kEmptyNameText;
    } else {
        bool known = code >= ErrRegistry && code <= ErrUnexpected;
        lines[1] = GetMsg(ErrorMessageTable[known ? code : ErrUnexpected]);
    }
    HostMessage(FMSG_MB_OK, lines, 2);
}
