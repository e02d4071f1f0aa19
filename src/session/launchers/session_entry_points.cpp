#include "session/launchers/session_entry_points.h"

namespace corvane {
namespace {

SessionEntryPoints& EntryPoints() {
    static SessionEntryPoints entryPoints;
    return entryPoints;
}

bool& WayIn() {
    static bool on = false;
    return on;
}

}  // namespace

void SetSessionEntryPoints(SessionEntryPoints entryPoints) {
    if (!entryPoints.Authenticated) entryPoints.Authenticated = [] { return false; };
    if (!entryPoints.Authenticate) entryPoints.Authenticate = [] {};
    if (!entryPoints.LogOFF) entryPoints.LogOFF = [] {};
    if (!entryPoints.SetTrayEnabled) entryPoints.SetTrayEnabled = [](bool) {};
    EntryPoints() = std::move(entryPoints);
}

const SessionEntryPoints& MainSession() {
    if (!EntryPoints().Authenticated) SetSessionEntryPoints({});
    return EntryPoints();
}

void SetConsoleIsTheWayIn(bool on) { WayIn() = on; }
bool ConsoleIsTheWayIn() { return WayIn(); }

}  // namespace corvane
