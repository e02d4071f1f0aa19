#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace corvane {

// The switches the login window and the start-up lockdown use on the desktop
// itself, and the power-off of the log-off action. One narrow interface so
// that tests install a fake and never touch the real machine.
class WorkstationSwitches {
public:
    virtual ~WorkstationSwitches() = default;
    virtual void HideDesktop() = 0;
    virtual void ShowDesktop() = 0;
    virtual void HideTaskbar() = 0;
    virtual void ShowTaskbar() = 0;
    virtual void RemoveStartButton() = 0;
    virtual void EnableShutdownPrivilege() = 0;
    // Asks the system to power off; non-zero when the request was accepted.
    virtual std::int32_t Shutdown() = 0;
};

// The Linux switches: the desktop, task bar and Start button belong to the
// desktop environment and are left alone. Shutdown powers off only when
// CORVANE_ALLOW_SHUTDOWN is "1", and never while CORVANE_TEST is set; powerOff
// runs the request ("systemctl poweroff" when not given).
std::unique_ptr<WorkstationSwitches> MakeLinuxWorkstationSwitches(
    std::function<bool()> powerOff = {});

// The switches in use; SetWorkstationSwitches(nullptr) restores the Linux ones.
WorkstationSwitches& CurrentWorkstationSwitches();
void SetWorkstationSwitches(std::shared_ptr<WorkstationSwitches> switches);

}  // namespace corvane
