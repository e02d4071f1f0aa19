#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/ole_date.h"

namespace corvane {

// What the program knows of one file on disk. Set FullPathName (or call
// Refresh after a change) and read the properties. A read that does not find
// the file sets FileExists False and leaves every other property as an earlier
// read of the same object left it.
//
// On Linux: paths may use "/" or "\"; there are no short (8.3) names, so the
// short forms equal the long ones (ShortName upper-cased); read-only means no
// write bit at all, hidden a name beginning with "."; the shell's display name
// is the file name and the type name "<EXT> File"; no file carries a version
// resource, so Available stays False and the version texts empty.
class FileInfo {
public:
    // Resolves newFile against the current folder and reads the file. An empty
    // name leaves the object as it was.
    void SetFullPathName(std::string_view newFile);
    const std::string& FullPathName() const { return fullPathName_; }
    void Refresh();

    const std::string& Filename() const { return filename_; }
    const std::string& Filepath() const { return filepath_; }  // ends in "/"
    const std::string& FileExtension() const { return fileExtension_; }
    const std::string& ShortPathName() const { return shortPathName_; }
    const std::string& ShortName() const { return shortName_; }
    const std::string& ShortPath() const { return shortPath_; }
    const std::string& DisplayName() const { return displayName_; }
    const std::string& TypeName() const { return typeName_; }
    bool FileExists() const { return fileExists_; }
    bool PathExists() const { return pathExists_; }

    // Sizes in bytes, whole (64 bits); the High forms give the upper 32 bits.
    std::int64_t FileSize() const { return fileSize_; }
    std::int32_t FileSizeHigh() const { return static_cast<std::int32_t>(fileSize_ >> 32); }
    std::int64_t CompressedFileSize() const { return compressedSize_; }
    std::int32_t CompressedFileSizeHigh() const {
        return static_cast<std::int32_t>(compressedSize_ >> 32);
    }

    // Local time, to the second. Creation time is the birth time where the
    // file system keeps one, else the last change of the file's status.
    OleDate CreationTime() const { return creationTime_; }
    OleDate LastAccessTime() const { return lastAccessTime_; }
    OleDate ModifyTime() const { return modifyTime_; }

    static constexpr std::int32_t kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4,
                                  kDirectory = 0x10, kArchive = 0x20, kNormal = 0x80,
                                  kTemporary = 0x100, kCompressed = 0x800;
    std::int32_t Attributes() const { return attributes_; }
    bool IsReadOnly() const { return attributes_ & kReadOnly; }
    bool IsHidden() const { return attributes_ & kHidden; }
    bool IsSystem() const { return attributes_ & kSystem; }
    bool IsArchive() const { return attributes_ & kArchive; }
    bool IsTemporary() const { return attributes_ & kTemporary; }
    bool IsCompressed() const { return attributes_ & kCompressed; }

    bool Available() const { return false; }
    const std::string& FileFlags() const { return none_; }
    const std::string& FileOS() const { return none_; }
    const std::string& FileType() const { return none_; }
    const std::string& FileSubType() const { return none_; }
    const std::string& Language() const { return none_; }
    const std::string& CompanyName() const { return none_; }
    const std::string& FileDescription() const { return none_; }
    const std::string& FileVersion() const { return none_; }
    const std::string& InternalName() const { return none_; }
    const std::string& LegalCopyright() const { return none_; }
    const std::string& LegalTrademarks() const { return none_; }
    const std::string& OriginalFilename() const { return none_; }
    const std::string& ProductName() const { return none_; }
    const std::string& ProductVersion() const { return none_; }

    // "Wednesday, March 15, 2023 1:05:09 PM": the long date, a space and the
    // long time. "" for a date out of range.
    static std::string FormatFileDate(OleDate dT);
    // "500 bytes", "1.50KB (1,536 bytes)", "5.00MB (5,242,880 bytes)", ...
    static std::string FormatFileSize(std::int64_t size);

private:
    std::string fullPathName_, filename_, filepath_, fileExtension_;
    std::string shortPathName_, shortName_, shortPath_, displayName_, typeName_;
    bool fileExists_ = false, pathExists_ = false;
    std::int64_t fileSize_ = 0, compressedSize_ = 0;
    OleDate creationTime_ = 0, lastAccessTime_ = 0, modifyTime_ = 0;
    std::int32_t attributes_ = 0;
    std::string none_;
};

}  // namespace corvane
