#pragma once

#include <memory>
#include <string>
#include <vector>

namespace corvane {

// The files and subfolders of a folder on a share, by UNC path
// ("\\srv\share\a"). Listing fails when the folder cannot be opened.
class NetworkFolders {
public:
    virtual ~NetworkFolders() = default;
    // False when the folder cannot be opened; files and folders then stay empty.
    virtual bool List(const std::string& uncPath, std::vector<std::string>& files,
                      std::vector<std::string>& folders) = 0;
};

// Without a backend no share can be opened.
NetworkFolders& CurrentNetworkFolders();
// nullptr restores the one that opens nothing.
void SetNetworkFolders(std::shared_ptr<NetworkFolders> folders);

}  // namespace corvane
