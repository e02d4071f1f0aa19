#include "catalogue/program.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& Program::Table() {
    using K = FieldKind;
    constexpr FieldRole kBuffer = FieldRole::BufferOnly;
    static const RecordDescription description = RecordDescription::Build({
        .className = "Program",
        .tableName = "Programs",
        .defaultFileName = "programs.sec",
        .fileNameOverride = &gProgramsFile,
        .slotLength = 1228,
        .dataLength = 626,
        .fields = {
            {kProgramPathName, "ProgramPathName", K::Text, 0, 255},
            {kDescription, "Description", K::Text, 255, 255},
            {kAccessLevel, "AccessLevel", K::WideInteger, 510, 2},
            {kOtherAccess, "OtherAccess", K::Text, 512, 20},
            {kReserved1, "Reserved1", K::Bytes, 532, 2, kBuffer},
            {kReserved2, "Reserved2", K::Bytes, 534, 8, kBuffer},
            {kDefault, "Default", K::Flag, 542, 2},
            {kDeleted, "Deleted", K::Flag, 544, 2, kBuffer},
            {kRecordLocked, "RecordLocked", K::Flag, 546, 2, kBuffer},
            {kRecordLockedBy, "RecordLockedBy", K::Text, 548, 20, kBuffer},
            {kRecordLockedOn, "RecordLockedOn", K::Text, 568, 50, kBuffer},
            {kRecordLockedAt, "RecordLockedAt", K::Date, 618, 8, kBuffer},
        },
        .keyFields = {"ProgramPathName"},
        .identityName = "ProgramID",
        .deleteSpaceFields = {"ProgramPathName", "Description"},
        .addNewKeyField = "ProgramPathName",
    });
    return description;
}

Program::Program() : KeyedTable(Table()) {}

}  // namespace corvane
