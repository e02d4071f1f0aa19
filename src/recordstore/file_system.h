#pragma once

#include <string>

namespace corvane {

// The data-folder setting, the file names and paths of seven tables and the
// clearing of the user log behind one object without state. Nothing is
// trapped here: an error reaches the caller as the member's failure.
class IFileSystem {
public:
    // Stores the value unchanged as "Data Path" and saves the global settings.
    void SetSecurityDataPath(const std::string& value);
    // The data folder: the program folder while the setting is blank.
    std::string SecurityDataPath() const;

    std::string UserFile() const;
    std::string GroupFile() const;
    std::string AccessFile() const;
    std::string PermissionsFile() const;
    std::string MemberFile() const;
    std::string UserPermissionsFile() const;
    std::string UserLogFile() const;

    std::string UserPathName() const;
    std::string GroupPathName() const;
    std::string AccessPathName() const;
    std::string PermissionsPathName() const;
    std::string MemberPathName() const;
    std::string UserPermissionsPathName() const;
    std::string UserLogPathName() const;

    // Empties the user log in the data folder.
    void ClearUserLog();
};

}  // namespace corvane
