#pragma once

#include <string>

namespace corvane {

// The fact that a data folder (or a machine hive) was set up, kept in a
// folder of the account's own outside the data folder: a rename or deletion
// of the data folder with its hives inside does not take it along. One small
// file per name, so workstations never write over each other's.

// CORVANE_STATE_DIR when set (simulated workstations side by side), else
// $XDG_STATE_HOME/corvane, else ~/.local/state/corvane.
std::string SetUpRecordFolder();

// Whether the record names this folder or hive. A record that cannot be
// looked at (an unreadable folder, a link) counts as set up.
bool SetUpRecorded(const std::string& name);

// Writes the record for the name (nothing when it is there already); false
// when it could not be written.
bool RecordSetUp(const std::string& name);

}  // namespace corvane
