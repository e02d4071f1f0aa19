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

// Rewrites, under the error trap of place, every valid record of a link table whose text
// field (trimmed) matches, as one change (one lock, one journal): one pass over the file
// finds them, then each is loaded afresh by its number and, when get (its field as loaded)
// still matches, rewrite sets the fields it owns and saves it. A step the handler leaves
// ends the rewriting; what was rewritten until then is written, and records another
// workstation changed meanwhile are left alone. False when the change could not be
// written (nothing of it was) or the first read failed.
template <typename Links, typename Matches, typename Get, typename Rewrite>
bool RewriteMatching(const std::string& place, int field, Matches matches, Get get, Rewrite rewrite) {
    Links table;
    TrappedChange change(table);
    std::vector<std::int32_t> found;
    const bool read = RunTrapped(place, {change.Step([&] {
                                     change.Begin();
                                     found.clear();
                                     table.ScanValid([&](const SlotView& link) {
                                         if (matches(link.Text(field))) found.push_back(link.RecordNumber());
                                         return true;
                                     });
                                 })});
    if (!read) return false;
    for (const std::int32_t n : found) {
        bool loaded = false;
        const bool carriedOn = RunTrapped(place, {
            change.Step([&] { loaded = table.LoadRecordNumber(n); }),
            change.Step([&] {
                if (loaded && matches(get(table))) rewrite(table);
            }),
        });
        if (!carriedOn) break;
    }
    // One write for the whole change (what a step left is written too).
    return RunTrapped(place, {[&] { change.End(); }}) && !change.Lost();
}

}  // namespace corvane
