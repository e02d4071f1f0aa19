#include "platform/network/network_resources.h"

#include <algorithm>

#include "platform/network/network_resource.h"
#include "platform/core/raised_error.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

constexpr std::int32_t kErrDuplicateKey = 457;

}  // namespace

NetworkResources::Entry NetworkResources::Item(std::int32_t index) const {
    if (index < 1 || index > Count()) return nullptr;
    return entries_[static_cast<std::size_t>(index - 1)];
}

NetworkResources::Entry NetworkResources::Item(const std::string& key) const {
    const auto it = std::find(keys_.begin(), keys_.end(), text::ToLower(key));
    return it == keys_.end() ? nullptr : entries_[static_cast<std::size_t>(it - keys_.begin())];
}

void NetworkResources::Remove(std::int32_t index) {
    if (index < 1 || index > Count())
        throw RaisedError(kErrInvalidProcedureCall, "NetworkResources.Remove",
                          "Invalid procedure call or argument");
    entries_.erase(entries_.begin() + (index - 1));
    keys_.erase(keys_.begin() + (index - 1));
}

void NetworkResources::Remove(const std::string& key) {
    const auto it = std::find(keys_.begin(), keys_.end(), text::ToLower(key));
    if (it == keys_.end())
        throw RaisedError(kErrInvalidProcedureCall, "NetworkResources.Remove",
                          "Invalid procedure call or argument");
    Remove(static_cast<std::int32_t>(it - keys_.begin()) + 1);
}

NetworkResources::Entry NetworkResources::AddResource(Entry resource) {
    std::string key = text::ToLower(resource->RemoteName());
    if (std::find(keys_.begin(), keys_.end(), key) != keys_.end())
        throw RaisedError(kErrDuplicateKey, "NetworkResources.AddResource",
                          "This key is already associated with an element of this collection");
    keys_.push_back(std::move(key));
    entries_.push_back(resource);
    return resource;
}

}  // namespace corvane
