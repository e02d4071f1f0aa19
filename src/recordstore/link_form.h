#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "recordstore/link_collection.h"
#include "recordstore/link_table.h"

namespace corvane {

// What the four link tables (UserMember, UserWebsite, UserProgram, UserPermission) share: one
// record of a login (20 characters at 0), a key text (at 20), Active and Deleted; a collection
// of copies handed out by their loaders; UserLogin and Active. Each table adds its description
// and names its key, its identity, its collection and its loaders.
template <typename Self>
class LinkForm : public LinkTable {
public:
    using Collection = LinkCollection<Self>;

    // Field ids of every link record, in file order.
    enum Field : int { kUserLogin, kKey, kActive, kDeleted };

    std::string UserLogin() const { return TextField(kUserLogin); }
    void SetUserLogin(std::string v) { SetTextField(kUserLogin, std::move(v)); }
    std::int16_t Active() const { return Int16Field(kActive); }
    void SetActive(std::int16_t v) { SetInt16Field(kActive, v); }

protected:
    explicit LinkForm(const RecordDescription& description) : LinkTable(description) {}

    std::string KeyText() const { return TextField(kKey); }
    void SetKeyText(std::string v) { SetTextField(kKey, std::move(v)); }

    // The collection property: the last loader's, or whatever was set; setting it does not
    // make the object dirty.
    const std::shared_ptr<Collection>& Links() const { return links_; }
    void SetLinks(std::shared_ptr<Collection> links) { links_ = std::move(links); }

    // A loader: replaces the collection by a new one before anything can fail, then adds a
    // detached copy (no file, zero buffer, so ValidRecord is true) of every valid record
    // whose field equals value, in record order. The end state is LoadMatching's.
    bool LoadLinks(const char* sourceWord, Field field, std::string_view value) {
        auto links = std::make_shared<Collection>();
        links_ = links;
        return LoadMatching(sourceWord, field, value, [this, &links] {
            auto copy = std::make_shared<Self>();
            copy->CopyObject(this);
            links->Add(std::move(copy));
        });
    }

private:
    std::shared_ptr<Collection> links_;
};

}  // namespace corvane
