#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/raised_error.h"
#include "platform/core/text.h"

namespace corvane {

// An ordered list of shared link objects, each optionally under a text key: the collections
// the link tables hand out (UserMembers, UserWebsites, UserPrograms, UserPermissions). Items
// are shared, never copied or touched. Positions are 1-based and close up on removal; keys
// are unique without regard to letter case. A failing member raises and changes nothing.
// Link names its collection in Link::kCollectionName (the first part of the error source).
template <typename Link>
class LinkCollection {
public:
    using ItemRef = std::shared_ptr<Link>;
    using const_iterator = typename std::vector<ItemRef>::const_iterator;

    // Appends the item, under ItemKey unless it is "" (a key of spaces is a key). A key the
    // collection already holds fails. Gives the item back.
    ItemRef Add(ItemRef item, std::string_view ItemKey = {}) {
        if (!ItemKey.empty() && Find(ItemKey) >= 0)
            throw Error("Add", 457, "This key is already associated with an element of this collection");
        items_.push_back(item);
        keys_.emplace_back(ItemKey);
        return item;
    }

    // Replaces the item under ItemKey by this one, which moves to the end; a key not held
    // fails. With "" nothing changes. Gives the item back.
    ItemRef Amend(ItemRef item, std::string_view ItemKey = {}) {
        if (ItemKey.empty()) return item;
        const std::string key(ItemKey);  // ItemKey may point into the key removed
        Remove(key);
        return Add(std::move(item), key);
    }

    // The item at a position (1..Count) or under a key; anything else fails.
    ItemRef Item(std::int32_t position) const { return items_[Position("Item", position)]; }
    ItemRef Item(std::string_view key) const { return items_[Keyed("Item", key)]; }

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }

    // Removes the item at a position or under a key; later items move one position down.
    void Remove(std::int32_t position) { Erase(Position("Remove", position)); }
    void Remove(std::string_view key) { Erase(Keyed("Remove", key)); }

    // Removes every item, the last first.
    void Clear() {
        for (std::int32_t n = Count(); n >= 1; --n) Remove(n);
    }

    // The items in position order (range-for).
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

private:
    static RaisedError Error(const char* word, std::int32_t number, const char* description) {
        return RaisedError(number, std::string(Link::kCollectionName) + "." + word, description);
    }

    std::ptrdiff_t Find(std::string_view key) const {
        for (std::size_t i = 0; i < keys_.size(); ++i)
            if (!keys_[i].empty() && text::Equals(keys_[i], key)) return static_cast<std::ptrdiff_t>(i);
        return -1;
    }

    std::size_t Position(const char* word, std::int32_t position) const {
        if (position < 1 || position > Count()) throw Error(word, 9, "Subscript out of range");
        return static_cast<std::size_t>(position - 1);
    }

    std::size_t Keyed(const char* word, std::string_view key) const {
        const std::ptrdiff_t i = key.empty() ? -1 : Find(key);
        if (i < 0) throw Error(word, 5, "Invalid procedure call or argument");
        return static_cast<std::size_t>(i);
    }

    void Erase(std::size_t i) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
        keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(i));
    }

    std::vector<ItemRef> items_;
    std::vector<std::string> keys_;  // "" for an item added without a key
};

}  // namespace corvane
