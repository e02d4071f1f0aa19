#include "platform/network/smb/smb_network.h"

#include <libsmbclient.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/network/network_folders.h"
#include "platform/network/network_neighbourhood.h"

namespace corvane {
namespace {

constexpr std::int32_t kTypeAny = 0;
constexpr std::int32_t kTypeDisk = 1;
constexpr std::int32_t kTypePrint = 2;
constexpr std::int32_t kDisplayDomain = 1;
constexpr std::int32_t kDisplayServer = 2;
constexpr std::int32_t kDisplayShare = 3;
constexpr std::int32_t kDisplayAdminShare = 8;
constexpr int kTimeoutMs = 5000;

// Never asks anyone: an empty answer is a guest sign-in, and a share that
// refuses it cannot be opened.
void NoCredentials(SMBCCTX*, const char*, const char*, char*, int, char*, int, char*, int) {}

struct Entry {
    unsigned type;
    std::string name;
};

// One libsmbclient context for the whole run.
class SmbClient {
public:
    explicit SmbClient(std::uint16_t port) : context_(smbc_new_context()) {
        if (!context_) return;
        smbc_setDebug(context_, 0);
        smbc_setTimeout(context_, kTimeoutMs);
        if (port != 0) smbc_setPort(context_, port);
        smbc_setOptionUseKerberos(context_, 1);
        smbc_setOptionFallbackAfterKerberos(context_, 1);
        smbc_setOptionUseCCache(context_, 1);
        smbc_setFunctionAuthDataWithContext(context_, NoCredentials);
        if (!smbc_init_context(context_)) {
            smbc_free_context(context_, 1);
            context_ = nullptr;
        }
    }
    ~SmbClient() {
        if (context_) smbc_free_context(context_, 1);
    }
    SmbClient(const SmbClient&) = delete;
    SmbClient& operator=(const SmbClient&) = delete;

    // The entries of a URL without "." and ".."; False when it cannot be opened.
    bool Read(const std::string& url, std::vector<Entry>& entries) {
        if (!context_) return false;
        SMBCFILE* dir = smbc_getFunctionOpendir(context_)(context_, url.c_str());
        if (!dir) return false;
        while (const smbc_dirent* entry = smbc_getFunctionReaddir(context_)(context_, dir)) {
            const std::string name(entry->name, strnlen(entry->name, entry->namelen ? entry->namelen : 1024));
            if (name == "." || name == "..") continue;
            entries.push_back({entry->smbc_type, name});
        }
        smbc_getFunctionClosedir(context_)(context_, dir);
        return true;
    }

private:
    SMBCCTX* context_;
};

// "\\srv\share\a b" as "smb://srv/share/a%20b"; the neighbourhood's own
// names (a workgroup) have no backslashes and stand alone.
std::string ToUrl(const std::string& remoteName) {
    std::string url = "smb://";
    std::size_t i = remoteName.rfind("\\\\", 0) == 0 ? 2 : 0;
    for (; i < remoteName.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(remoteName[i]);
        if (c == '\\') {
            url += '/';
        } else if (std::isalnum(c) || std::strchr("-._~$!&'()*+,;=:@", c) || c >= 0x80) {
            url += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

class ListedEnumeration final : public NetworkEnumeration {
public:
    explicit ListedEnumeration(std::vector<NetResourceRecord> records) : records_(std::move(records)) {}
    std::int32_t Next(std::vector<NetResourceRecord>& entries) override {
        entries = std::move(records_);
        records_.clear();
        return kNetSuccess;
    }

private:
    std::vector<NetResourceRecord> records_;
};

NetResourceRecord Record(std::int32_t displayType, std::string remoteName, std::int32_t type) {
    NetResourceRecord r;
    r.scope = 2;
    r.type = type;
    r.displayType = displayType;
    r.remoteName = std::move(remoteName);
    r.provider = "SMB";
    return r;
}

// Which share kinds an enumeration of the given resource type wants.
bool Wanted(unsigned smbType, std::int32_t type) {
    if (smbType == SMBC_FILE_SHARE) return type == kTypeAny || type == kTypeDisk;
    if (smbType == SMBC_PRINTER_SHARE) return type == kTypeAny || type == kTypePrint;
    return false;
}

class SmbNeighbourhood final : public NetworkNeighbourhood {
public:
    explicit SmbNeighbourhood(std::shared_ptr<SmbClient> client) : client_(std::move(client)) {}

    std::unique_ptr<NetworkEnumeration> Open(std::int32_t, std::int32_t type, std::int32_t,
                                             const NetResourceRecord& parent) override {
        std::vector<NetResourceRecord> records;
        const std::string& name = parent.remoteName;
        // Below a share the neighbourhood has nothing; its folders are listed apart.
        if (parent.displayType == kDisplayShare || parent.displayType == kDisplayAdminShare)
            return std::make_unique<ListedEnumeration>(std::move(records));
        std::vector<Entry> entries;
        if (!client_->Read(name.empty() ? "smb://" : ToUrl(name), entries)) return nullptr;
        for (const auto& e : entries) {
            if (e.type == SMBC_WORKGROUP) {
                records.push_back(Record(kDisplayDomain, e.name, kTypeAny));
            } else if (e.type == SMBC_SERVER) {
                records.push_back(Record(kDisplayServer, "\\\\" + e.name, kTypeAny));
            } else if (Wanted(e.type, type)) {
                const bool admin = !e.name.empty() && e.name.back() == '$';
                records.push_back(Record(admin && e.type == SMBC_FILE_SHARE ? kDisplayAdminShare : kDisplayShare,
                                         name + "\\" + e.name,
                                         e.type == SMBC_PRINTER_SHARE ? kTypePrint : kTypeDisk));
            }
        }
        return std::make_unique<ListedEnumeration>(std::move(records));
    }

private:
    std::shared_ptr<SmbClient> client_;
};

class SmbFolders final : public NetworkFolders {
public:
    explicit SmbFolders(std::shared_ptr<SmbClient> client) : client_(std::move(client)) {}

    bool List(const std::string& uncPath, std::vector<std::string>& files,
              std::vector<std::string>& folders) override {
        std::vector<Entry> entries;
        if (uncPath.rfind("\\\\", 0) != 0 || !client_->Read(ToUrl(uncPath), entries)) return false;
        for (const auto& e : entries) {
            if (e.type == SMBC_FILE) files.push_back(e.name);
            else if (e.type == SMBC_DIR) folders.push_back(e.name);
        }
        return true;
    }

private:
    std::shared_ptr<SmbClient> client_;
};

}  // namespace

void InstallSmbNetwork(std::uint16_t port) {
    auto client = std::make_shared<SmbClient>(port);
    SetNetworkNeighbourhood(std::make_shared<SmbNeighbourhood>(client));
    SetNetworkFolders(std::make_shared<SmbFolders>(client));
}

}  // namespace corvane
