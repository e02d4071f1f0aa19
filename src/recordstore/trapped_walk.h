#pragma once

#include <string>

#include "platform/core/error_trap.h"

namespace corvane {

// Walks a table's valid records from the first to the last under the error trap of place,
// running visit(table) on each. A step the handler leaves ends the walk, as does a move that
// cannot go on (a walk that cannot step would never end); what visit wrote stays written.
template <typename Table, typename Visit>
void WalkTrapped(Table& table, const std::string& place, Visit visit) {
    bool empty = true;
    if (!RunTrapped(place, {[&] { empty = table.IsEmpty(); }}) || empty) return;
    if (!RunTrapped(place, {[&] { table.MoveFirst(); }})) return;
    for (;;) {
        bool eof = true;
        bool moved = false;
        const bool carriedOn = RunTrapped(place, {
            [&] { eof = table.IsEOF(); },
            [&] {
                if (!eof) visit(table);
            },
            [&] {
                if (eof) return;
                table.MoveNext();
                moved = true;
            },
        });
        if (!carriedOn || eof || !moved) break;
    }
}

}  // namespace corvane
