#pragma once

#include <string>
#include <vector>

#include "platform/system/workstation_switches.h"

namespace corvane::test_support {

// Records every switch in order; Shutdown answers the given result.
class FakeWorkstationSwitches final : public WorkstationSwitches {
public:
    std::vector<std::string> calls;
    std::int32_t shutdownResult = 1;

    void HideDesktop() override { calls.push_back("HideDesktop"); }
    void ShowDesktop() override { calls.push_back("ShowDesktop"); }
    void HideTaskbar() override { calls.push_back("HideTaskbar"); }
    void ShowTaskbar() override { calls.push_back("ShowTaskbar"); }
    void RemoveStartButton() override { calls.push_back("RemoveStartButton"); }
    void EnableShutdownPrivilege() override { calls.push_back("EnableShutdownPrivilege"); }
    std::int32_t Shutdown() override {
        calls.push_back("Shutdown");
        return shutdownResult;
    }
};

}  // namespace corvane::test_support
