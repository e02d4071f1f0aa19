#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

// What kind of drive stands behind a letter.
enum class DriveKind { kNone, kRemovable, kFixed, kRemote, kCdRom };

// Where the drive list learns the kinds and labels of the letters.
class DriveKinds {
public:
    virtual ~DriveKinds() = default;
    virtual DriveKind KindOf(char letter) = 0;
    // The volume label; asked only of fixed drives.
    virtual std::string LabelOf(char letter) = 0;
};

// Linux has no drive letters: every letter answers no drive and no label.
std::unique_ptr<DriveKinds> MakeLinuxDriveKinds();

inline constexpr int kDriveLetterCount = 26;
inline constexpr std::uint32_t kDriveLettersMask = 0x3FFFFFF;

// One row of the drive list.
struct DriveRow {
    std::string key;    // the upper-case letter
    std::string text;   // " C:\" and, for a labelled fixed drive, " - [label]"
    std::string image;  // "floppy", "drive", "network" or "cd-rom"
};

// The 26 rows, sorted by their text; a letter without a drive gets the
// "drive" image and no label. A kind or label that cannot be read leaves the
// row plain.
std::vector<DriveRow> FillDriveRows(DriveKinds& kinds);

// The ticks of letters A (index 0) to Z from a mask; higher bits are dropped.
std::array<bool, kDriveLetterCount> DriveTicksFromMask(std::uint32_t mask);
std::uint32_t DriveMaskFromTicks(const std::array<bool, kDriveLetterCount>& ticks);

}  // namespace corvane
