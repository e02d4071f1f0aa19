#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/registry_value.h"

namespace corvane {

// An ordered collection of listed values, optionally keyed by text (keys
// compared without regard to case). A bad position or key raises: 9 for a
// position out of range, 5 for an unknown key, 457 for a key already used.
class RegistryValues {
public:
    using ValuePtr = std::shared_ptr<RegistryValue>;

    std::int32_t ParentKey() const { return parentKey_; }

    // Adds the value (under sKey unless it is empty) and returns it.
    ValuePtr Add(ValuePtr RegValue, std::string_view sKey = {});

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }

    // By position from 1, or by key.
    void Remove(std::int32_t index);
    void Remove(std::string_view key);
    RegistryValue& Item(std::int32_t index) const;
    RegistryValue& Item(std::string_view key) const;

    void Clear();

    // Listing in the order the values were added.
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    void SetParentKey(std::int32_t key) { parentKey_ = key; }

private:
    std::size_t PositionOf(std::string_view key) const;

    std::vector<ValuePtr> items_;
    std::vector<std::string> keys_;  // folded; "" for an item added without key
    std::int32_t parentKey_ = 0;
};

}  // namespace corvane
