#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class NetworkResource;

// The children of a network resource in order, keyed by the remote name each
// had when it was added (unique, without regard to case). Positions count
// from 1.
class NetworkResources {
public:
    using Entry = std::shared_ptr<NetworkResource>;

    // The entry at a position or with a key; nullptr when there is none.
    Entry Item(std::int32_t index) const;
    Entry Item(const std::string& key) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
    // A missing entry raises the collection's invalid-argument error.
    void Remove(std::int32_t index);
    void Remove(const std::string& key);

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

    // Adds under the resource's remote name; a name already present raises
    // error 457 and adds nothing.
    Entry AddResource(Entry resource);

private:
    std::vector<Entry> entries_;
    std::vector<std::string> keys_;  // lower-cased, parallel to entries_
};

}  // namespace corvane
