#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/error_trap.h"
#include "recordstore/record_table.h"
#include "recordstore/slot_view.h"

namespace corvane {

// A change of many records of one table (RecordTable::Change) made in steps under an error
// trap. A step that fails ends the change first, writing what it holds, so that no window
// waits for an answer while the table is locked; the steps the handler lets run after it
// write record by record.
class TrappedChange {
public:
    explicit TrappedChange(RecordTable& table) : table_(table) {}

    // Inside a statement: the change begins (its lock is taken, a journal put back).
    void Begin() { change_ = std::make_unique<RecordTable::Change>(table_); }
    // The statement body, ending the change before its error reaches the handler.
    Statement Step(std::function<void()> body) {
        return [this, body = std::move(body)] {
            try {
                body();
            } catch (...) {
                try {
                    End();
                } catch (...) {
                    // The step's own error is the one reported; the change wrote nothing.
                    lost_ = true;
                }
                throw;
            }
        };
    }
    // Writes what the change holds and gives the lock back (a statement of its own).
    void End() {
        const std::unique_ptr<RecordTable::Change> ending = std::move(change_);
        if (ending) ending->Commit();
    }

    // A change ended by a failing step could not be written either.
    bool Lost() const { return lost_; }

private:
    RecordTable& table_;
    std::unique_ptr<RecordTable::Change> change_;
    bool lost_ = false;
};

// Rewrites, under the error trap of place, one text field of every valid record whose field
// (as text) matches, as one change (one lock, one journal): one pass over the file under the
// change's lock finds them, and each takes text in that field with the rest of its bytes as
// the pass read them; nothing else is read, and only the records whose bytes change are
// written. Inside a change of several tables (TablesChange) it is part of that change. False
// when the change could not be written (nothing of it was) or the pass failed; found: how
// many records matched.
template <typename Links, typename Matches>
bool RewriteMatching(const std::string& place, int field, Matches matches, const std::string& text,
                     std::int32_t* found = nullptr) {
    Links table;
    TrappedChange change(table);
    std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>> scanned;
    const bool ran = RunTrapped(place, {change.Step([&] {
                                            change.Begin();
                                            scanned.clear();
                                            const std::size_t data = Links::Table().dataLength;
                                            table.ScanValid([&](const SlotView& link) {
                                                if (matches(link.Text(field)))
                                                    scanned.emplace_back(link.RecordNumber(),
                                                                         std::vector<std::uint8_t>(link.Data(), link.Data() + data));
                                                return true;
                                            });
                                            table.RewriteScanned(scanned, field, text);
                                        }),
                                        [&] { change.End(); }});
    if (found) *found = static_cast<std::int32_t>(scanned.size());
    return ran && !change.Lost();
}

}  // namespace corvane
