#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

// Whether a file may be written at a target a person named; when not, the
// folder of Corvane's own that holds it, or the file or folder that decides
// what Corvane starts (startPlace set).
struct WriteTargetVerdict {
    bool allowed = false;
    std::string folder;
    bool startPlace = false;
};

// What the guard protects, as real paths: Corvane's own folders, and the
// places that decide what it starts (its autostart entries and what the
// desktop's opener reads: association lists and applications folders).
struct GuardedPlaces {
    std::vector<std::string> folders;
    std::vector<std::string> startPlaces;
};

// The decision on real paths (absolute, links resolved): a target that is one
// of the places or lies below one is refused, naming that place; so is a
// target that is not absolute.
WriteTargetVerdict DecideWriteTarget(const std::string& realTarget, const GuardedPlaces& places);
WriteTargetVerdict DecideWriteTarget(const std::string& realTarget, const std::vector<std::string>& realFolders);

// Corvane's own folders as they stand now: the program folder, the data
// folder, the registry folders, the folder of the global INI file, the
// set-up record's folder and any folder start-up added (the runtime folder).
std::vector<std::string> ProtectedFolders();

// The places that decide what Corvane starts, as this process's environment
// names them (see GuardedPlaces).
std::vector<std::string> ProtectedStartPlaces();
void ProtectFolder(const std::string& folder);

// The decision for a target as the file system stands now: its folder after
// links, and the file a link at its name leads to.
WriteTargetVerdict CheckWriteTarget(const std::string& target);

// What a person is told when a target is refused.
std::string WriteRefusalText(const WriteTargetVerdict& verdict);

struct GuardedWrite {
    enum class Result { Written, Refused, Failed };
    Result result = Result::Failed;
    WriteTargetVerdict verdict;  // the refusal, for Refused
    int error = 0;               // errno, for Failed
};

// Writes the file at target. The target's folder is opened and decided again
// through its descriptor at the moment of writing; the content goes into a new
// file in that folder, which then takes the target's name, so a link planted
// at the name is replaced, never written through. The writer fills the open
// file and answers false on failure; on failure or a throw (passed on) no new
// file is left.
GuardedWrite WriteFileGuarded(const std::string& target, const std::function<bool(std::FILE*)>& write);

// Copies a file, or a folder with what it holds, to target, each file and
// folder through the same guard (for what the web engine or the printer
// wrote in a private place first).
GuardedWrite CopyGuarded(const std::string& source, const std::string& target);

}  // namespace corvane
