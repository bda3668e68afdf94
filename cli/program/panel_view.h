// The module's name panel full-screen in the terminal: its title, its items as the host shows
// them (".." first, filters as folders, sorted by name), the key bar the module sets, and the
// panel's keys passed to the module as the host passes them.
#pragma once

#include <string>
#include <vector>

#include "outcome.h"
#include "sim_host.h"
#include "terminal.h"
#include "terminal_front_end.h"

class PanelView {
  public:
    PanelView(SimHost& host, Terminal& terminal, TerminalFrontEnd& frontEnd);
    ~PanelView();
    PanelView(const PanelView&) = delete;
    PanelView& operator=(const PanelView&) = delete;

    // Runs until the panel is left: by a jump (the outcome holds the directory), by a command
    // for the host's command line, or by Esc, F10 or Enter on the top-level "..".
    Outcome Run();

    void Draw();

  private:
    void DrawItems(int bottom, int cols);
    void DrawStatusAndKeyBar(int rows, int cols);
    // Passes a key to the module; true when the panel is gone and Run ends.
    bool Press(int key, unsigned int controlState);
    // The panel's positions in the order shown: 0 (the "..") first, then filters, then names.
    void Arrange();
    int CursorRow() const;
    void MoveCursor(int row);
    void ToggleSelection();
    // Shift+Enter: the name's directory in the file browser, or a note that none was found;
    // true when the panel is gone.
    bool OpenInFileBrowser();
    void ShowHelp();
    std::string CurrentName();

    SimHost& host_;
    Terminal& terminal_;
    TerminalFrontEnd& frontEnd_;
    std::vector<int> order_;
    int firstRow_ = 0;
    std::string note_;
    std::string cameFrom_;
    Outcome outcome_;
};
