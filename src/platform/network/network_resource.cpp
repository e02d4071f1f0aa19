#include "platform/network/network_resource.h"

#include "platform/core/raised_error.h"

namespace corvane {
namespace {

constexpr std::int32_t kScopeGlobalNet = 2;
constexpr std::int32_t kTypeDisk = 1;
constexpr std::int32_t kTypePrint = 2;
constexpr std::int32_t kUsageAll = 0;
constexpr std::int32_t kUsageConnectable = 1;
constexpr std::int32_t kDisplayShare = 3;
// The neighbourhood once answered in a fixed number of rounds at most; kept
// as a bound against an enumeration that never says it is done.
constexpr int kMaxCalls = 32768;

}  // namespace

NetworkResources& NetworkResource::Nodes() {
    if (!nodesLoaded_) GetNodes();
    return *nodes_;
}

bool NetworkResource::Walk(std::int32_t type, std::int32_t usage,
                           const std::function<void(const NetResourceRecord&)>& add) {
    const auto enumeration = CurrentNetworkNeighbourhood().Open(kScopeGlobalNet, type, usage, record_);
    if (!enumeration) return false;
    for (int call = 0; call < kMaxCalls; ++call) {
        std::vector<NetResourceRecord> entries;
        const std::int32_t status = enumeration->Next(entries);
        if (status == kNetMoreData) continue;
        // Any failure ends the walk: asking again would only fail again.
        if (status != kNetSuccess || entries.empty()) break;
        for (const auto& entry : entries) add(entry);
    }
    return true;
}

void NetworkResource::GetNodes() {
    nodes_ = std::make_shared<NetworkResources>();
    const bool opened = Walk(kTypeDisk, kUsageAll, [this](const NetResourceRecord& entry) {
        auto child = std::make_shared<NetworkResource>();
        child->SetResource(entry);
        nodes_->AddResource(child);
    });
    if (opened) nodesLoaded_ = true;
}

void NetworkResource::GetPrinters() {
    if (!nodes_)
        throw RaisedError(91, "NetworkResource.GetPrinters",
                          "Object variable or With block variable not set");
    Walk(kTypePrint, kUsageConnectable, [this](const NetResourceRecord& entry) {
        if (entry.displayType != kDisplayShare) return;
        auto printer = std::make_shared<NetworkResource>();
        printer->SetResource(entry);
        printer->SetIsPrinter(true);
        nodes_->AddResource(printer);
    });
}

std::string NetworkResource::ResourceTypeName() const {
    static const char* const kNames[] = {"Generic", "Domain", "Server",    "Share",
                                         "File",    "Group",  "Network",   "Root",
                                         "AdminShare", "Directory", "Tree", "NDSContainer"};
    const std::int32_t type = ResourceType();
    if (type == 255) return "Printer";
    if (type < 0 || type >= static_cast<std::int32_t>(std::size(kNames))) return {};
    return kNames[type];
}

std::string NetworkResource::ShortName() const {
    const auto& name = record_.remoteName;
    const auto slash = name.rfind('\\');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace corvane
