#pragma once

#include <string>
#include <string_view>

namespace corvane {

// A UNC path ("\\srv\share\a") as the local folder where that share is
// mounted: the first cifs or smb3 entry of the mount table (the text of
// /proc/self/mountinfo) whose source is //srv/share, compared without regard
// to case, followed by the rest of the path. Empty when it is no UNC path or
// the share is not mounted.
std::string MountedFolderOf(std::string_view uncPath, std::string_view mountTable);

// The path for opening files: a UNC path of a mounted share as its local
// folder; any other path, or a share that is not mounted, unchanged.
std::string ResolveUncPath(const std::string& path);

}  // namespace corvane
