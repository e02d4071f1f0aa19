#pragma once

// The reading checks every table target makes against the Oracle: the count, both walks (no
// empty row, every valid record once, in order), and a file that reading leaves as it was.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/core/cp1252.h"
#include "support/table_oracle.h"

namespace corvane::fuzz {

// Walks a fresh table forwards (MoveFirst, MoveNext until IsEOF) and backwards (MoveLast,
// MovePrevious while a record was found and not at the start); each row the walk stands on
// must be a synchronised valid record. Calls onRow for each row of the forward walk.
template <typename Table, typename Id>
void CheckWalks(const Oracle& oracle, Id id, const std::function<void(Table&)>& onRow) {
    const std::vector<std::int32_t> valid = oracle.ValidIds();
    const std::int32_t bound = oracle.Slots() + 2;
    {
        Table t;
        Require(t.RecordCount() == static_cast<std::int32_t>(valid.size()), "RecordCount");
        std::vector<std::int32_t> rows;
        t.MoveFirst();
        while (!t.IsEOF()) {
            Require(t.IsSynchronised(), "a forward walk row is loaded");
            rows.push_back(id(t));
            onRow(t);
            Require(static_cast<std::int32_t>(rows.size()) <= bound, "the forward walk ends");
            t.MoveNext();
        }
        Require(rows == valid, "the forward walk visits the valid records in order");
    }
    {
        Table t;
        std::vector<std::int32_t> rows;
        t.MoveLast();
        while (t.IsSynchronised()) {
            rows.push_back(id(t));
            Require(static_cast<std::int32_t>(rows.size()) <= bound, "the backward walk ends");
            if (t.IsBOF()) break;
            t.MovePrevious();
        }
        std::vector<std::int32_t> expected(valid.rbegin(), valid.rend());
        Require(rows == expected, "the backward walk visits the valid records in reverse");
    }
}

// The member text of a key field read back to file bytes equals the field trimmed of spaces.
inline void CheckKeyText(const Oracle& oracle, std::int32_t n, std::size_t k, const std::string& utf8) {
    Require(cp1252::FromUtf8(utf8) == oracle.Key(n, k), "key text of record " + std::to_string(n));
}

}  // namespace corvane::fuzz
