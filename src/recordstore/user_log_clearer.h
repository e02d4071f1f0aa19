#pragma once

#include <functional>
#include <string_view>

namespace corvane {

// How IFileSystem empties the user log. The user log belongs to the activity
// logs, which are built on the record store, so their ClearUserLogFile is
// installed here from above (by the program's start-up); until then, clearing
// does nothing.
using UserLogClearer = std::function<void(std::string_view pathName)>;
void SetUserLogClearer(UserLogClearer clearer);

// Runs the installed clearer; a blank path means the standard file.
void ClearUserLogThroughClearer(std::string_view pathName);

}  // namespace corvane
