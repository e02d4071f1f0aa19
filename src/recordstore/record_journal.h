#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// The journal of one change to one or more tables of a folder: for every table the old data
// part of each slot the change overwrites and the length the table had before it appended,
// written and flushed before any table is touched; its removal commits the change in every
// table at once (docs/record-files.md).
struct JournalSlot {
    std::int64_t offset = 0;  // the slot's offset in the table
    std::vector<std::uint8_t> old;  // its data part before the change
};

struct JournalTable {
    std::string name;  // the table's file name, in the journal's folder
    std::uint32_t slotLength = 0;
    std::uint32_t dataLength = 0;
    std::uint64_t device = 0;  // the table file's identity when the change began
    std::uint64_t inode = 0;
    std::int64_t length = -1;  // its length before the change appended; -1: it appended nothing
    std::vector<JournalSlot> slots;
};

// Builds a journal table by table, slot by slot, copying each slot's old bytes once.
class JournalWriter {
public:
    // changeId tells one change from another; bytes: the journal's length, when known.
    explicit JournalWriter(std::uint64_t changeId, std::size_t bytes = 0);
    // A table's section: head's name, geometry, identity and length, then slots of it.
    void Table(const JournalTable& head, std::size_t slots);
    void Slot(std::int64_t offset, const std::uint8_t* old);
    std::vector<std::uint8_t> Finish();

private:
    void Put(std::uint64_t v, int width);
    std::vector<std::uint8_t> bytes_;
    std::uint32_t tables_ = 0;
    std::uint32_t dataLength_ = 0;
};

// The bytes of a journal of the tables given.
std::vector<std::uint8_t> EncodeChangeJournal(std::uint64_t changeId, const std::vector<JournalTable>& tables);

// What a journal read back holds.
struct DecodedJournal {
    enum class Kind {
        Broken,   // not whole, or no journal at all: never flushed, so no table was touched
        Change,   // a journal of today: tables holds every table of its change
        OneTable, // the journal of the build before (one table, no identity)
        OneSlot,  // the one-slot journal of earlier builds: never applied
    };
    Kind kind = Kind::Broken;
    std::vector<JournalTable> tables;
    // Whether it names the table (file name, and identity when the journal holds one).
    bool Names(const std::string& name, const struct stat& table) const;
};
// tableName, slotLength, dataLength: the table a journal of the build before is read for
// (it holds one table's slots and is judged by its name and geometry).
DecodedJournal DecodeJournal(const std::vector<std::uint8_t>& bytes, const std::string& tableName,
                             std::uint32_t slotLength, std::uint32_t dataLength);

// The journal of the build before, for tests of what is still put back.
std::vector<std::uint8_t> EncodeJournal(const std::string& tableName, std::uint32_t slotLength,
                                        std::uint32_t dataLength, const std::vector<JournalSlot>& slots);

// Whether nobody could have written the journal (journal, as lstat or fstat gives it) who
// could not write the table as it stands: a regular file of one name (a hard link is a file
// someone else may have made), no special mode bits, its owner the table's (or, in a
// group-shared folder where the table is group-writable, an account of the table's group),
// and writable by nobody the table's mode keeps out: group-writable only when the table is
// and in its group, never writable by others. The writer creates its journal so.
bool JournalWritersWithinTable(const struct stat& journal, const struct stat& table, bool groupSharedFolder);

// The account's name, or its number when it has none.
std::string AccountName(uid_t uid);

}  // namespace corvane
