// Error boxes: the error title, then the text of the code or of the refusal, then what it is
// about.
#include "error_report.h"

#include "host_services.h"
#include "messages.h"
#include "module_state.h"
#include "store/errors.h"
#include "store/text_buffer.h"

const int ErrorMessageTable[15] = {0,
                                   MNameNotFound,
                                   MRegistryError,
                                   MNoMemory,
                                   MUnexpectedError,
                                   MEmptyNameCommand,
                                   MNameWithSeparator,
                                   MDirectoryTooLong,
                                   MNameBeginsWithCommand,
                                   MPanelWithoutDirectory,
                                   MNoNameToDelete,
                                   MNameWithWildcard,
                                   MDirectoryNotWhole,
                                   MTargetRunsPrefix,
                                   0};

void ReportError(int code) {
    // The store's own account of a failure names the file and what is wrong with it, which the
    // module's word for a store that failed (or a failure it could not place) cannot.
    bool storeSaid = Host.ShowStoreFaults != nullptr && Host.ShowStoreFaults();
    if (storeSaid && (code == ErrRegistry || code == ErrUnexpected)) {
        return;
    }
    // An add refused for a name, a directory or a target that cannot be stored as given is
    // said whatever the setting: the user asked for something to be kept, and nothing was. A
    // command that said already why it was not done, or whose question was cancelled, says
    // nothing more.
    bool refusedAdd = code == ErrNameWithSeparator || code == ErrDirectoryTooLong ||
                      code == ErrNameBeginsWithCommand || code == ErrPanelWithoutDirectory ||
                      code == ErrNameWithWildcard || code == ErrDirectoryNotWhole ||
                      code == ErrTargetRunsPrefix;
    if (code == ErrNoReport || (Settings.ShowErrors == 0 && !refusedAdd)) {
        return;
    }
    if (code == ErrNotFound) {
        TextBuffer line;
        line.Assign(GetMsg(MNameNotFound));
        if (LastUnknownName.Text()[0] != '\0') {
            line.Append("'");
            line.Append(LastUnknownName.Text());
            line.Append("'");
        }
        const char* lines[2] = {GetMsg(MErrorTitle), line.Text()};
        HostMessage(FMSG_MB_OK, lines, 2);
        return;
    }
    bool known = code >= ErrRegistry && code <= ErrTargetRunsPrefix;
    ShowRefusal(ErrorMessageTable[known ? code : ErrUnexpected], nullptr);
}

void ShowRefusal(int message, const char* subject) {
    const char* lines[3] = {GetMsg(MErrorTitle), GetMsg(message), subject};
    HostMessage(FMSG_MB_OK, lines, subject != nullptr ? 3 : 2);
}

void ReportFault(int message, const char* subject) {
    if (Settings.ShowErrors != 0) {
        ShowRefusal(message, subject);
    }
}
