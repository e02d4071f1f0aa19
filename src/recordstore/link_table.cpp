#include "recordstore/link_table.h"

#include <stdexcept>

namespace corvane {

LinkTable::LinkTable(const RecordDescription& description) : RecordTable(description) {
    if (description.keyPolicy != KeyPolicy::KeyText || description.keyIndexes.size() != 2)
        throw std::logic_error(description.className + ": a link table has a key and a login");
}

bool LinkTable::Load(std::string_view key, std::string_view login) {
    auto engine = Pin();
    const auto& k = Layout().keyIndexes;
    return engine->Search(ops::kLoad, {{k[0], RecordEngine::MatchBytes(key)}, {k[1], RecordEngine::MatchBytes(login)}},
                          true);
}

bool LinkTable::LoadRecordNumber(std::int32_t n) { return Pin()->SearchNumber(ops::kLoad, n, true); }

bool LinkTable::Exists(std::string_view key, std::string_view login) {
    auto engine = Pin();
    const auto& k = Layout().keyIndexes;
    return engine->Search(ops::kExists,
                          {{k[0], RecordEngine::MatchBytes(key)}, {k[1], RecordEngine::MatchBytes(login)}}, false);
}

bool LinkTable::LoadMatching(const char* sourceWord, int field, std::string_view value,
                             const std::function<void()>& onMatch) {
    auto engine = Pin();
    const Operation op{sourceWord, ops::kLoad.number, ops::kLoad.prefixWord, true};
    return engine->LoadMatches(op, field, value, onMatch);
}

void LinkTable::ScanMatching(const char* sourceWord, int field, std::string_view value, const SlotVisit& visit) {
    auto engine = Pin();
    const Operation op{sourceWord, ops::kLoad.number, ops::kLoad.prefixWord, true};
    const std::string want = RecordEngine::MatchBytes(value);
    try {
        engine->ScanValid([&](const SlotView& link) { return !link.Equals(field, want) || visit(link); });
    } catch (const std::exception& e) {
        throw engine->Wrap(op, e);
    }
}

}  // namespace corvane
