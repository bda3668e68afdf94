// A front end that answers from a script written by a test: the next menu choice, the next
// dialog's closing button with edited fields, the next message box's button. A question
// nobody scripted is answered as cancelled and counted, so a test can tell.
#pragma once

#include <deque>
#include <map>
#include <string>

#include "front_end.h"

struct DialogAnswer {
    int result = -1;
    std::map<int, std::string> texts;  // item index -> new text
    std::map<int, int> checks;         // item index -> new check state
};

class ScriptFrontEnd : public FrontEnd {
  public:
    void AnswerMenu(int choice) { menus_.push_back(choice); }
    void AnswerDialog(DialogAnswer answer) { dialogs_.push_back(std::move(answer)); }
    void AnswerMessage(int button) { messages_.push_back(button); }

    int Menu(const MenuCall& call) override;
    int Dialog(DialogCall& call) override;
    int Message(const MessageCall& call) override;

    // Questions asked with no scripted answer left.
    int unscripted = 0;

  private:
    std::deque<int> menus_;
    std::deque<DialogAnswer> dialogs_;
    std::deque<int> messages_;
};
