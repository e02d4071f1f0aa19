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

// What the guard keeps, as real paths: Corvane's own folders; the places that
// decide what starts, each whole (its autostart entries, what the desktop's
// opener reads, every XDG config and data folder); and the home folders, below
// which every hidden file and folder decides what starts (what a login shell,
// the desktop session, its autostart, the environment and the user's services
// read at the next login).
struct GuardedPlaces {
    std::vector<std::string> folders;
    std::vector<std::string> startPlaces;
    std::vector<std::string> homes;
};

// The one decision on a target, on real paths (absolute, links resolved). A
// target that is one of Corvane's folders or lies below one is refused, naming
// the folder; one that is or lies below a start place, naming that place; one
// whose path below a home folder passes through a name starting with ".",
// naming that hidden file or folder. So is a target that is not absolute, and
// every target when no home folder is known.
WriteTargetVerdict DecideWriteTarget(const std::string& realTarget, const GuardedPlaces& places);

// Corvane's own folders as they stand now: the program folder, the data
// folder, the registry folders, the folder of the global INI file, the
// set-up record's folder and any folder start-up added (the runtime folder).
std::vector<std::string> ProtectedFolders();

// The places that decide what starts, as this process's environment names
// them (see GuardedPlaces): the named files first, so that a refusal names the
// very file, then the XDG config and data folders.
std::vector<std::string> ProtectedStartPlaces();

// The account's home folders: HOME, and the one the account database names.
std::vector<std::string> HomeFolders();
void ProtectFolder(const std::string& folder);

// The decision for a target as the file system stands now: its folder after
// links, and the file a link at its name leads to; a folder reached by another
// spelling (letter case on a file system that ignores it, another mount) counts
// as the place it is. Every writer a person can aim decides through this (or
// through the writes below, which decide again as they write), and so does
// what a page may read.
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
