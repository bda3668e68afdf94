// Scripted answers, taken in order.
#include "script_front_end.h"

int ScriptFrontEnd::Menu(const MenuCall&) {
    if (menus_.empty()) {
        ++unscripted;
        return -1;
    }
    int choice = menus_.front();
    menus_.pop_front();
    return choice;
}

int ScriptFrontEnd::Dialog(DialogCall& call) {
    if (dialogs_.empty()) {
        ++unscripted;
        return -1;
    }
    DialogAnswer answer = std::move(dialogs_.front());
    dialogs_.pop_front();
    for (const auto& [index, text] : answer.texts) {
        call.items.at(index).text = text;
    }
    for (const auto& [index, state] : answer.checks) {
        call.items.at(index).selected = state;
    }
    return answer.result;
}

int ScriptFrontEnd::Message(const MessageCall&) {
    if (messages_.empty()) {
        ++unscripted;
        return -1;
    }
    int button = messages_.front();
    messages_.pop_front();
    return button;
}
