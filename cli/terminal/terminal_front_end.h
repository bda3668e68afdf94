// The velmora program's answer to the module's questions: menus, dialogs and message boxes as
// windows on the terminal. Outside the panel the screen is opened for one question only, and an
// error box with nothing to ask is left to the program, which says it in its own words.
#pragma once

#include <string>
#include <vector>

#include "front_end.h"
#include "modal_windows.h"
#include "terminal.h"

class TerminalFrontEnd : public FrontEnd {
  public:
    explicit TerminalFrontEnd(Terminal& terminal) : terminal_(terminal) {}

    int Menu(const MenuCall& call) override;
    int Dialog(DialogCall& call) override;
    int Message(const MessageCall& call) override;

    // What the windows are drawn over: the panel sets itself here while it is shown.
    void SetBackdrop(Backdrop backdrop) { backdrop_ = std::move(backdrop); }
    // Dialog items with these texts are not shown (the rows below close up), and keep their
    // values: switches of the file manager that mean nothing in a shell.
    void LeaveOut(std::vector<std::string> texts) { leftOut_ = std::move(texts); }

  private:
    // Opens the terminal when it is closed; false when there is none, so the question counts as
    // cancelled, with a line on standard error: it cannot `question`, and what to do `instead`.
    bool Reach(const std::string& question, const char* instead);
    // Closes the terminal again when Reach opened it.
    void Release();

    Terminal& terminal_;
    Backdrop backdrop_;
    std::vector<std::string> leftOut_;
    bool openedHere_ = false;
};
