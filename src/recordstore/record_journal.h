#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// The journal of one change to a table: the old data part of every slot the change
// overwrites, written and flushed before any of them is (docs/record-files.md).
struct JournalSlot {
    std::int64_t offset = 0;  // the slot's offset in the table
    std::vector<std::uint8_t> old;  // its data part before the change
};

// The bytes of a journal naming the table (its file name) and holding the slots given.
std::vector<std::uint8_t> EncodeJournal(const std::string& tableName, std::uint32_t slotLength,
                                        std::uint32_t dataLength, const std::vector<JournalSlot>& slots);

// What a journal read back holds.
struct DecodedJournal {
    // Whole, of this table and its geometry: the slots go back. Otherwise it was never
    // flushed (so no slot was touched) or belongs to no write of this table: it is dropped.
    bool applies = false;
    std::vector<JournalSlot> slots;
};
// Decodes both the journal of today (naming its table) and the one-slot journal of earlier
// builds, which names none: that one applies on its geometry alone.
DecodedJournal DecodeJournal(const std::vector<std::uint8_t>& bytes, const std::string& tableName,
                             std::uint32_t slotLength, std::uint32_t dataLength);

// Whether the owner of a journal (journal, as lstat or fstat gives it) could have written the
// table as it stands: the table's owner, or, in a group-shared folder where the table is
// group-writable, an account of the table's group whose journal is in that group and no
// wider in mode than the table. Only such a journal is ever applied: anyone else could never
// have been writing the table.
bool JournalOwnerMayWrite(const struct stat& journal, const struct stat& table, bool groupSharedFolder);

// The account's name, or its number when it has none.
std::string AccountName(uid_t uid);

}  // namespace corvane
