#include "platform/settings/registry_values.h"
#include "platform/core/program_title.h"

#include "platform/core/raised_error.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

constexpr std::int32_t kErrSubscriptOutOfRange = 9;
constexpr std::int32_t kErrKeyInUse = 457;
const char* const kSource = kProgramTitle;

}  // namespace

RegistryValues::ValuePtr RegistryValues::Add(ValuePtr RegValue, std::string_view sKey) {
    std::string folded;
    if (!sKey.empty()) {
        folded = text::ToLower(sKey);
        for (const auto& k : keys_)
            if (k == folded)
                throw RaisedError(kErrKeyInUse, kSource,
                                  "This key is already associated with an element of this collection");
    }
    items_.push_back(RegValue);
    keys_.push_back(std::move(folded));
    return RegValue;
}

std::size_t RegistryValues::PositionOf(std::string_view key) const {
    const std::string folded = text::ToLower(key);
    for (std::size_t i = 0; i < keys_.size(); ++i)
        if (!folded.empty() && keys_[i] == folded) return i;
    throw RaisedError(kErrInvalidProcedureCall, kSource, "Invalid procedure call or argument");
}

RegistryValue& RegistryValues::Item(std::int32_t index) const {
    if (index < 1 || index > Count()) throw RaisedError(kErrSubscriptOutOfRange, kSource, "Subscript out of range");
    return *items_[static_cast<std::size_t>(index - 1)];
}

RegistryValue& RegistryValues::Item(std::string_view key) const { return *items_[PositionOf(key)]; }

void RegistryValues::Remove(std::int32_t index) {
    if (index < 1 || index > Count()) throw RaisedError(kErrSubscriptOutOfRange, kSource, "Subscript out of range");
    items_.erase(items_.begin() + (index - 1));
    keys_.erase(keys_.begin() + (index - 1));
}

void RegistryValues::Remove(std::string_view key) {
    const auto at = PositionOf(key);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(at));
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(at));
}

void RegistryValues::Clear() {
    items_.clear();
    keys_.clear();
}

}  // namespace corvane
