#include "platform/system/workstation_switches.h"

#include "platform/core/environment.h"
#include "platform/system/process_spawn.h"

namespace corvane {
namespace {

class LinuxWorkstationSwitches final : public WorkstationSwitches {
public:
    explicit LinuxWorkstationSwitches(std::function<bool()> powerOff)
        : powerOff_(std::move(powerOff)) {}

    void HideDesktop() override {}
    void ShowDesktop() override {}
    void HideTaskbar() override {}
    void ShowTaskbar() override {}
    void RemoveStartButton() override {}
    void EnableShutdownPrivilege() override {}

    std::int32_t Shutdown() override {
        if (environment::Variable("CORVANE_ALLOW_SHUTDOWN") != "1") return 0;
        if (!environment::Variable("CORVANE_TEST").empty()) return 0;
        if (powerOff_) return powerOff_() ? 1 : 0;
        return SpawnProcess({"systemctl", "poweroff"}) != 0 ? 1 : 0;
    }

private:
    std::function<bool()> powerOff_;
};

std::shared_ptr<WorkstationSwitches>& Current() {
    static std::shared_ptr<WorkstationSwitches> current;
    return current;
}

}  // namespace

std::unique_ptr<WorkstationSwitches> MakeLinuxWorkstationSwitches(std::function<bool()> powerOff) {
    return std::make_unique<LinuxWorkstationSwitches>(std::move(powerOff));
}

WorkstationSwitches& CurrentWorkstationSwitches() {
    if (!Current()) Current() = MakeLinuxWorkstationSwitches();
    return *Current();
}

void SetWorkstationSwitches(std::shared_ptr<WorkstationSwitches> switches) {
    Current() = std::move(switches);
}

}  // namespace corvane
