#include "session/console/tip_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <random>

#include "platform/core/clock.h"
#include "platform/core/cp1252.h"
#include "platform/core/environment.h"
#include "platform/core/raised_error.h"
#include "platform/core/regular_file.h"
#include "platform/core/text.h"
#include "platform/system/file_helpers.h"

namespace corvane {
namespace {

constexpr const char* kDefaultTipsFile = "TIPOFDAY.TXT";

TipList::Random ClockSeeded() {
    const auto seed = static_cast<std::uint64_t>(clock::SystemNow().time_since_epoch().count());
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

// Lines end in CR LF, LF or CR.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(cp1252::ToUtf8(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(cp1252::ToUtf8(line));
    return lines;
}

}  // namespace

TipList::TipList(Random random) : random_(random ? std::move(random) : ClockSeeded()) {}

bool TipList::Load(const std::string& file) {
    if (file.empty()) return false;
    if (!File().FileExists(file)) return false;
    // A FIFO or a device in the file's place would block the window thread on
    // every login; only a regular file is a tips file.
    const int fd = OpenRegularFile(NativePath(file), O_RDONLY);
    if (fd < 0 && errno == EINVAL) return false;
    std::string bytes;
    const bool read = fd >= 0 && ReadToEnd(fd, bytes);
    if (fd >= 0) ::close(fd);
    // Any other failure reaches the window's opener.
    if (!read) throw RaisedError(kErrPathFileAccess, "LoadTips", "Path/File access error (" + file + ")");
    for (auto& line : Lines(bytes)) tips_.push_back(std::move(line));
    PickRandom();
    return true;
}

void TipList::PickRandom() {
    const auto n = static_cast<double>(tips_.size());
    auto index = static_cast<std::int32_t>(random_() * n) + 1;
    // A generator at its upper edge still names the last tip.
    if (!tips_.empty() && index > static_cast<std::int32_t>(tips_.size()))
        index = static_cast<std::int32_t>(tips_.size());
    current_ = tips_.empty() ? 1 : index;
}

const std::string* TipList::CurrentTip() const {
    if (tips_.empty()) return nullptr;
    return &tips_[static_cast<std::size_t>(current_ - 1)];
}

std::string TipList::TipsFile(const std::string& setting) {
    if (text::TrimSpaces(setting).empty()) return environment::ProgramFolder() + "/" + kDefaultTipsFile;
    return setting;
}

std::string TipList::HelpText() {
    return std::string("That the ") + kDefaultTipsFile + " file was not found? " + "\r\n\r\n" +
           "Create a text file named " + kDefaultTipsFile + " using NotePad with 1 tip per line. " +
           "Then place it in the same directory as the application. ";
}

}  // namespace corvane
