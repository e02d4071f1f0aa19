#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

// The tips of the tip window: one per line of an 8-bit text file, in file
// order, with a current index from 1 picked at random.
class TipList {
public:
    // A uniformly distributed number r with 0 <= r < 1.
    using Random = std::function<double()>;

    // Without a generator one seeded from the clock is used.
    explicit TipList(Random random = {});

    // Reads the file's lines (Windows-1252, kept untrimmed, empty ones
    // included; a final line break adds no tip) and picks a tip. False, with
    // nothing read, when the name is empty or names no file. A file that
    // cannot be read gives no tips.
    bool Load(const std::string& file);

    // The current index becomes int(r * n) + 1; with no tips it is 1.
    void PickRandom();

    const std::vector<std::string>& Tips() const { return tips_; }
    std::int32_t CurrentIndex() const { return current_; }
    // The tip at the current index; nothing when there are no tips.
    const std::string* CurrentTip() const;

    // The file "Tips Of The Day PathName" names: "TIPOFDAY.TXT" in the
    // program folder when it is blank after trimming, else as stored.
    static std::string TipsFile(const std::string& setting);

    // What the window shows when there is no tips file.
    static std::string HelpText();

private:
    Random random_;
    std::vector<std::string> tips_;
    std::int32_t current_ = 1;
};

}  // namespace corvane
