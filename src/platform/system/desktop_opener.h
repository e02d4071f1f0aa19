#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Where the desktop keeps its file associations and programs: the XDG
// config and data folders (most important first), the current desktops'
// names in lower case, and the folders of PATH.
struct DesktopPlaces {
    std::vector<std::string> configDirs;
    std::vector<std::string> dataDirs;
    std::vector<std::string> desktops;
    std::vector<std::string> path;

    // The places as this process's environment gives them, with the XDG
    // defaults for what it leaves out.
    static DesktopPlaces FromEnvironment();
};

// A key file's groups of keys, as desktop entries and mimeapps.list are
// written.
using KeyFile = std::map<std::string, std::map<std::string, std::string>>;

// Reads a key file as GLib does: blank lines and comments aside, the first
// line must be a group and every line a group or a key=value pair, in UTF-8.
// Anything else (a page's markup around key lines) makes it unreadable:
// nullopt, and nothing in it counts.
std::optional<KeyFile> ParseKeyFile(std::string_view text);

// The association lists the opener reads, in the order they count: the
// desktop's own list before the common one in each config folder, then in
// each data folder's applications, then the older defaults.list there.
std::vector<std::string> AssociationListPaths(const DesktopPlaces& places);

// Everything the opener reads to decide what it starts: the association
// lists of the config folders, each data folder's applications folder whole
// (lists, cache and entries) and its MIME database (the types). The write
// guard protects exactly these.
std::vector<std::string> OpenerReadPlaces(const DesktopPlaces& places);

// Corvane's own autostart entry in each config folder, the first (the
// user's) being the one start with the desktop session writes.
std::vector<std::string> AutostartEntryPaths(const DesktopPlaces& places);

// The types a document, folder or address is known by, most specific first:
// a file's MIME type and its ancestors, "x-scheme-handler/<scheme>" for an
// address. Empty when the target is neither.
std::vector<std::string> DocumentTypes(const std::string& target);

// The command the desktop would run to open the target: the default
// application for the first of its types that has an installed one (then
// the added associations and the desktop's cache), its Exec line with the
// target in place of the field code (or last). The first element is the
// program's full path, found on PATH when the Exec line names it bare.
// Empty when no installed application with an existing program opens it.
std::vector<std::string> ResolveDesktopCommand(const std::string& target,
                                               const std::vector<std::string>& types,
                                               const DesktopPlaces& places);

// Splits an Exec value into its arguments, the target in place of %f, %F,
// %u or %U (or appended when none is given); the codes that add nothing
// here are dropped. Empty when the line cannot be read (an unknown field
// code, an open quote) or its program would come from the target.
std::vector<std::string> ExpandExecLine(const std::string& exec, const std::string& target);

}  // namespace corvane
