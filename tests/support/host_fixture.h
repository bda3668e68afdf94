// A fresh store, the stand-in host with the module's English texts and a scripted front end,
// and the module's process-wide state as at load, for tests that call the module's code
// directly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "english_messages.h"
#include "fresh_store.h"
#include "script_front_end.h"
#include "sim_host.h"

class HostTest : public FreshStoreTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the settings as the module does when the host starts it.
    void StartModule();
    std::string Msg(int id) const { return sim_->Message(id); }

    std::unique_ptr<SimHost> sim_;
    ScriptFrontEnd script_;
};
