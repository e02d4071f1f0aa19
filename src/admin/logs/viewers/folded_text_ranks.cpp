#include "admin/logs/viewers/folded_text_ranks.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <queue>
#include <string>
#include <vector>

#include "admin/logs/viewers/parallel_pieces.h"
#include "platform/core/text.h"

namespace corvane::log_sort {
namespace {

const std::array<unsigned char, 256>& FoldTable() {
    static const auto table = [] {
        // The same folding as every other comparison of the program's texts.
        std::array<unsigned char, 256> t{};
        for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = text::FoldByte(static_cast<unsigned char>(c));
        return t;
    }();
    return table;
}

// The text with letter case folded, into out. Eight ASCII bytes at a time:
// each capital gains 0x20; a word with other bytes goes by the table.
void Fold(std::string_view text, std::string& out) {
    const auto& fold = FoldTable();
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = kOnes * 0x80;
    out.resize(text.size());
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, text.data() + i, 8);
        if (w & kHigh) {
            for (std::size_t k = i; k < i + 8; ++k)
                out[k] = static_cast<char>(fold[static_cast<unsigned char>(text[k])]);
            continue;
        }
        const std::uint64_t atLeastA = w + kOnes * (0x80 - 'A');
        const std::uint64_t pastZ = w + kOnes * (0x80 - 'Z' - 1);
        w |= (atLeastA & ~pastZ & kHigh) >> 2;
        std::memcpy(out.data() + i, &w, 8);
    }
    for (; i < text.size(); ++i) out[i] = static_cast<char>(fold[static_cast<unsigned char>(text[i])]);
}

std::size_t HashOf(std::string_view folded) { return std::hash<std::string_view>{}(folded); }

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    const auto& fold = FoldTable();
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])]) return false;
    return true;
}

// Texts numbered as first met, those equal but for letter case as one: an
// open addressing table over the hashes of the folded texts. The texts
// themselves stay where they are.
class DistinctTexts {
public:
    std::uint32_t Number(std::size_t hash, std::string_view text) {
        if (2 * (texts_.size() + 1) > slots_.size()) Grow();
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            if (slots_[at] == 0) {
                texts_.push_back(text);
                hashes_.push_back(hash);
                slots_[at] = static_cast<std::uint32_t>(texts_.size());
                return slots_[at] - 1;
            }
            const std::uint32_t id = slots_[at] - 1;
            if (hashes_[id] == hash && EqualFolded(texts_[id], text)) return id;
        }
    }
    std::size_t Count() const { return texts_.size(); }
    std::size_t Hash(std::uint32_t id) const { return hashes_[id]; }
    std::string_view Text(std::uint32_t id) const { return texts_[id]; }

private:
    void Grow() {
        slots_.assign(std::max<std::size_t>(64, 2 * slots_.size()), 0);
        const std::size_t mask = slots_.size() - 1;
        for (std::uint32_t id = 0; id < texts_.size(); ++id) {
            std::size_t at = hashes_[id] & mask;
            while (slots_[at] != 0) at = (at + 1) & mask;
            slots_[at] = id + 1;
        }
    }

    std::vector<std::uint32_t> slots_;  // id + 1, 0 free; at most half full
    std::vector<std::size_t> hashes_;
    std::vector<std::string_view> texts_;
};

}  // namespace

int CompareFolded(std::string_view a, std::string_view b) {
    const auto& fold = FoldTable();
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = fold[static_cast<unsigned char>(a[i])];
        const unsigned char y = fold[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

BulkVector<std::uint64_t> FoldedRanks(std::size_t count, const std::function<std::string_view(std::size_t)>& text,
                                      std::size_t pieces) {
    // A column holds far fewer distinct texts than rows, so only the distinct
    // ones are sorted and each row then takes its text's place. The rows are
    // cut into ranges, each numbering its own distinct texts; then the hash of
    // a text picks the part of the hash space that numbers it among all ranges'
    // texts and sorts it, so no text is in two parts. Ranges and parts each
    // get a thread.
    if (pieces == 0) pieces = PieceCount(count, 1 << 16);
    auto rangeStart = [&](std::size_t k) { return PieceStart(count, pieces, k); };
    std::vector<DistinctTexts> ranges(pieces);
    BulkVector<std::uint32_t> rowIds(count);  // each row's text among its range's
    RunPieces(pieces, [&](std::size_t k) {
        std::string folded;
        for (std::size_t i = rangeStart(k); i < rangeStart(k + 1); ++i) {
            const std::string_view t = text(i);
            Fold(t, folded);
            rowIds[i] = ranges[k].Number(HashOf(folded), t);
        }
    });

    auto partOf = [&](std::size_t hash) { return (hash >> 40) % pieces; };
    struct Part {
        DistinctTexts distinct;
        std::vector<std::uint32_t> ids;       // the ranges' texts that fall here, range by range
        std::vector<std::size_t> rangeFirst;  // where in ids each range begins
        std::string folded;                   // the distinct texts folded, end to end
        std::vector<std::size_t> ends;
        std::vector<std::uint32_t> sorted;    // the distinct texts in order
        std::vector<std::uint32_t> rank;      // each distinct text's place among all parts'

        std::string_view Folded(std::uint32_t id) const {
            const std::size_t start = id == 0 ? 0 : ends[id - 1];
            return std::string_view(folded).substr(start, ends[id] - start);
        }
    };
    std::vector<Part> parts(pieces);
    RunPieces(pieces, [&](std::size_t p) {
        Part& part = parts[p];
        for (const DistinctTexts& range : ranges) {
            part.rangeFirst.push_back(part.ids.size());
            for (std::uint32_t id = 0; id < range.Count(); ++id)
                if (partOf(range.Hash(id)) == p)
                    part.ids.push_back(part.distinct.Number(range.Hash(id), range.Text(id)));
        }
        // Folded texts compare as plain unsigned bytes, as CompareFolded does.
        std::string one;
        for (std::uint32_t id = 0; id < part.distinct.Count(); ++id) {
            Fold(part.distinct.Text(id), one);
            part.folded += one;
            part.ends.push_back(part.folded.size());
        }
        part.sorted.resize(part.distinct.Count());
        std::iota(part.sorted.begin(), part.sorted.end(), 0u);
        std::sort(part.sorted.begin(), part.sorted.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return part.Folded(a) < part.Folded(b); });
        part.rank.resize(part.sorted.size());
    });

    // Merging the parts' sorted texts gives each its place among all.
    using Head = std::pair<std::string_view, std::size_t>;  // a part's next text, and the part
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    std::vector<std::size_t> next(pieces, 0);
    auto push = [&](std::size_t p) {
        if (next[p] < parts[p].sorted.size()) heads.emplace(parts[p].Folded(parts[p].sorted[next[p]]), p);
    };
    for (std::size_t p = 0; p < pieces; ++p) push(p);
    for (std::uint32_t r = 0; !heads.empty(); ++r) {
        const std::size_t p = heads.top().second;
        heads.pop();
        parts[p].rank[parts[p].sorted[next[p]++]] = r;
        push(p);
    }

    BulkVector<std::uint64_t> keys(count);
    RunPieces(pieces, [&](std::size_t k) {
        // Each part met this range's texts in the range's order.
        std::vector<std::size_t> at(pieces);
        for (std::size_t p = 0; p < pieces; ++p) at[p] = parts[p].rangeFirst[k];
        std::vector<std::uint32_t> rank(ranges[k].Count());
        for (std::uint32_t id = 0; id < rank.size(); ++id) {
            const std::size_t p = partOf(ranges[k].Hash(id));
            rank[id] = parts[p].rank[parts[p].ids[at[p]++]];
        }
        for (std::size_t i = rangeStart(k); i < rangeStart(k + 1); ++i) keys[i] = rank[rowIds[i]];
    });
    return keys;
}

}  // namespace corvane::log_sort
