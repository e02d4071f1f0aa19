#pragma once

#include <cstdint>
#include <string>

#include "recordstore/keyed_table.h"

namespace corvane {

// The program catalogue, programs.sec: slot 1,228 bytes, data 626; ProgramPathName 0/255
// (the key), Description 255/255, AccessLevel 510 (16-bit on disk), OtherAccess 512/20, two
// reserved fields carried as read, Default 542, Deleted 544, the record locks from 546.
// Identity ProgramID (the record number), TableName "Programs". DELETE blanks
// ProgramPathName and Description with spaces.
class Program : public KeyedTable {
public:
    enum Field : int {
        kProgramPathName, kDescription, kAccessLevel, kOtherAccess, kReserved1, kReserved2, kDefault, kDeleted,
        kRecordLocked, kRecordLockedBy, kRecordLockedOn, kRecordLockedAt,
    };

    Program();
    static const RecordDescription& Table();

    std::int32_t ProgramID() const { return Identity(); }
    void SetProgramID(std::int32_t v) { SetIdentity(v); }
    std::string ProgramPathName() const { return TextField(kProgramPathName); }
    void SetProgramPathName(std::string v) { SetTextField(kProgramPathName, std::move(v)); }
    std::string Description() const { return TextField(kDescription); }
    void SetDescription(std::string v) { SetTextField(kDescription, std::move(v)); }
    // 0 Administrator, 1 Standard, 2 Restricted, 3 the level named in OtherAccess. A value
    // outside -32,768..32,767 makes AddNew (+3) and SaveChanges (+4) fail, writing nothing.
    std::int32_t AccessLevel() const { return Int32Field(kAccessLevel); }
    void SetAccessLevel(std::int32_t v) { SetInt32Field(kAccessLevel, v); }
    std::string OtherAccess() const { return TextField(kOtherAccess); }
    void SetOtherAccess(std::string v) { SetTextField(kOtherAccess, std::move(v)); }
    std::int16_t Default() const { return Int16Field(kDefault); }
    void SetDefault(std::int16_t v) { SetInt16Field(kDefault, v); }

    // Slots whose trimmed ProgramPathName is not empty, deleted or not (the count of keyed
    // records; the catalogue has always called it GroupCount).
    std::int32_t GroupCount() { return CountKeyed(); }
};

}  // namespace corvane
