#include "admin/security/drive_list.h"

#include <algorithm>
#include <exception>

namespace corvane {
namespace {

class LinuxDriveKinds : public DriveKinds {
public:
    DriveKind KindOf(char) override { return DriveKind::kNone; }
    std::string LabelOf(char) override { return {}; }
};

const char* ImageOf(DriveKind kind) {
    switch (kind) {
        case DriveKind::kRemovable: return "floppy";
        case DriveKind::kRemote: return "network";
        case DriveKind::kCdRom: return "cd-rom";
        case DriveKind::kFixed:
        case DriveKind::kNone: break;
    }
    return "drive";
}

}  // namespace

std::unique_ptr<DriveKinds> MakeLinuxDriveKinds() { return std::make_unique<LinuxDriveKinds>(); }

std::vector<DriveRow> FillDriveRows(DriveKinds& kinds) {
    std::vector<DriveRow> rows;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        DriveRow row{std::string(1, letter), std::string(" ") + letter + ":\\", "drive"};
        // A drive that cannot be asked keeps the plain row.
        try {
            const DriveKind kind = kinds.KindOf(letter);
            row.image = ImageOf(kind);
            if (kind == DriveKind::kFixed) {
                const std::string label = kinds.LabelOf(letter);
                if (!label.empty()) row.text += " - [" + label + "]";
            }
        } catch (const std::exception&) {
        }
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [](const DriveRow& a, const DriveRow& b) { return a.text < b.text; });
    return rows;
}

std::array<bool, kDriveLetterCount> DriveTicksFromMask(std::uint32_t mask) {
    std::array<bool, kDriveLetterCount> ticks{};
    for (int i = 0; i < kDriveLetterCount; ++i) ticks[i] = (mask >> i) & 1U;
    return ticks;
}

std::uint32_t DriveMaskFromTicks(const std::array<bool, kDriveLetterCount>& ticks) {
    std::uint32_t mask = 0;
    for (int i = 0; i < kDriveLetterCount; ++i)
        if (ticks[i]) mask |= 1U << i;
    return mask;
}

}  // namespace corvane
