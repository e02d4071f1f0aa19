#include "recordstore/slot_scan.h"

#include <algorithm>
#include <memory>

namespace corvane {
namespace {

constexpr std::size_t kScanBlockBytes = 1 << 20;

}  // namespace

void ScanValidSlots(RecordFile& file, const RecordDescription& desc, const SlotVisit& visit) {
    const ScanScope scan(file);
    const std::int64_t length = file.Length();
    const std::int32_t slots = RecordFile::SlotCount(length, desc.slotLength);
    if (slots == 0) return;
    // No bigger than the file: a small table faults in no more memory than it holds.
    const auto perBlock = static_cast<std::int32_t>(
        std::min<std::int64_t>(slots, std::max<std::size_t>(1, kScanBlockBytes / desc.slotLength)));
    const auto block = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(perBlock) * desc.slotLength);
    for (std::int32_t n = 1; n <= slots;) {
        const std::int32_t count = std::min(perBlock, slots - n + 1);
        const std::int64_t start = static_cast<std::int64_t>(n - 1) * desc.slotLength;
        // Bytes past the length the scan measured are not the scan's.
        const std::int64_t held = std::min(static_cast<std::int64_t>(file.ReadSlots(n, count, block.get())), length - start);
        for (std::int32_t i = 0; i < count; ++i, ++n) {
            const std::int64_t at = static_cast<std::int64_t>(i) * desc.slotLength;
            if (at + desc.dataLength > held) continue;  // torn: the blank record, never valid
            const SlotView slot(desc, block.get() + at, n);
            if (slot.Valid() && !visit(slot)) return;
        }
    }
}

void ScanTableFile(const RecordDescription& desc, const std::string& path, const SlotVisit& visit) {
    RecordFile file(desc.slotLength, desc.dataLength);
    file.Open(path);
    ScanValidSlots(file, desc, visit);
}

}  // namespace corvane
