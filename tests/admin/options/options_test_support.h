#pragma once

#include <QCloseEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>
#include <QCoreApplication>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/network/network_folders.h"
#include "platform/network/network_neighbourhood.h"

namespace corvane::test {

// The user's click on the window's close box: a close request that arrives
// spontaneously.
inline void CloseBox(QWidget* window) {
    QCloseEvent fromUser;
    QSpontaneKeyEvent::setSpontaneous(&fromUser);
    QCoreApplication::instance()->notify(window, &fromUser);
}

// A neighbourhood from a table of children by parent remote name ("" is the
// root); a parent listed in `closed` cannot be enumerated. Counts the
// enumerations opened for each parent.
class FakeNeighbourhood : public NetworkNeighbourhood {
public:
    std::map<std::string, std::vector<NetResourceRecord>> children;
    std::map<std::string, int> opened;

    std::unique_ptr<NetworkEnumeration> Open(std::int32_t, std::int32_t, std::int32_t,
                                             const NetResourceRecord& parent) override {
        ++opened[parent.remoteName];
        class Listed : public NetworkEnumeration {
        public:
            explicit Listed(std::vector<NetResourceRecord> r) : records(std::move(r)) {}
            std::int32_t Next(std::vector<NetResourceRecord>& entries) override {
                entries.swap(records);
                records.clear();
                return kNetSuccess;
            }
            std::vector<NetResourceRecord> records;
        };
        const auto it = children.find(parent.remoteName);
        return std::make_unique<Listed>(it == children.end() ? std::vector<NetResourceRecord>{} : it->second);
    }

    static NetResourceRecord Record(std::int32_t displayType, const std::string& remoteName) {
        NetResourceRecord r;
        r.displayType = displayType;
        r.remoteName = remoteName;
        return r;
    }
};

// Folders on shares by UNC path: files then subfolders; a path not listed
// cannot be opened.
class FakeFolders : public NetworkFolders {
public:
    struct Listing {
        std::vector<std::string> files, folders;
    };
    std::map<std::string, Listing> folders;
    std::map<std::string, int> listed;

    bool List(const std::string& path, std::vector<std::string>& files,
              std::vector<std::string>& subfolders) override {
        ++listed[path];
        const auto it = folders.find(path);
        if (it == folders.end()) return false;
        files = it->second.files;
        subfolders = it->second.folders;
        return true;
    }
};

// The network of the tests: a provider, a workgroup, a server with two
// shares, an admin share, an item of no type, and one share that
// cannot be opened; \\SRV\docs holds two files and the folders a (with b) and z.
struct FakeNetwork {
    std::shared_ptr<FakeNeighbourhood> neighbourhood = std::make_shared<FakeNeighbourhood>();
    std::shared_ptr<FakeFolders> shares = std::make_shared<FakeFolders>();

    FakeNetwork() {
        using N = FakeNeighbourhood;
        neighbourhood->children[""] = {N::Record(6, "Microsoft Network"), N::Record(0, "Odd")};
        neighbourhood->children["Microsoft Network"] = {N::Record(1, "WORKGROUP")};
        neighbourhood->children["WORKGROUP"] = {N::Record(2, "\\\\SRV")};
        neighbourhood->children["\\\\SRV"] = {N::Record(3, "\\\\SRV\\docs"), N::Record(8, "\\\\SRV\\C$"),
                                              N::Record(3, "\\\\SRV\\locked"), N::Record(0, "\\\\SRV\\odd")};
        shares->folders["\\\\SRV\\docs"] = {{"readme.txt", "users.sec"}, {"a", "z"}};
        shares->folders["\\\\SRV\\docs\\a"] = {{"inner.txt"}, {"b"}};
        shares->folders["\\\\SRV\\docs\\a\\b"] = {{}, {}};
        SetNetworkNeighbourhood(neighbourhood);
        SetNetworkFolders(shares);
    }
    ~FakeNetwork() {
        SetNetworkNeighbourhood(nullptr);
        SetNetworkFolders(nullptr);
    }
};

}  // namespace corvane::test
