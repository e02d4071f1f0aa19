// Writes one key into an INI file of arbitrary bytes. A write that succeeds
// reads back as written (trimmed and unquoted as every value reads) and
// changes no other key the file held; a write that fails is one the writer
// refuses for its names or value, and leaves the file as it was.
// Input: three length bytes, then the section, key and value, then the file.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/text.h"
#include "platform/settings/ini_profile.h"

namespace profile = corvane::profile;
namespace cp1252 = corvane::cp1252;

namespace {

const std::string& FilePath() {
    static const std::string path = [] {
        char dir[] = "/tmp/corvane-ini-fuzz-XXXXXX";
        if (!::mkdtemp(dir)) std::abort();
        return std::string(dir) + "/settings.ini";
    }();
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    std::size_t at = 0;
    for (auto nul = list.find('\0'); nul != std::string::npos; nul = list.find('\0', at)) {
        names.push_back(list.substr(at, nul - at));
        at = nul + 1;
    }
    return names;
}

std::string Read(const std::string& section, const std::string& key) {
    return profile::ReadString(section, key, "\x01missing", profile::kWholeText, FilePath());
}

struct Entry {
    std::string section;
    std::string key;
    std::string value;
};

// Every key the file shows: of each section read, each key name read.
std::vector<Entry> Snapshot() {
    std::vector<Entry> entries;
    for (const auto& section :
         SplitNames(profile::ReadString(std::nullopt, std::nullopt, "", profile::kWholeText, FilePath())))
        for (const auto& key :
             SplitNames(profile::ReadString(section, std::nullopt, "", profile::kWholeText, FilePath())))
            entries.push_back({section, key, Read(section, key)});
    return entries;
}

std::string TrimBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// What a value reads as: trimmed, one pair of matching quotes removed.
std::string AsRead(const std::string& bytes) {
    std::string v = TrimBlanks(bytes);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

bool Refused(const std::string& section, const std::string& key, const std::string& value) {
    const std::string s = TrimBlanks(section);
    const std::string k = TrimBlanks(key);
    return HasLineBreak(s) || s.find(']') != std::string::npos || k.empty() || HasLineBreak(k) ||
           k.find('=') != std::string::npos || k.front() == '[' || k.front() == ';' || HasLineBreak(value);
}

bool SameName(const std::string& a, const std::string& b) {
    return corvane::text::EqualsBytes(TrimBlanks(cp1252::FromUtf8(a)), TrimBlanks(cp1252::FromUtf8(b)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::size_t lengths[3] = {data[0] % 24u, data[1] % 24u, data[2] % 48u};
    std::size_t at = 3;
    std::string parts[3];
    for (int i = 0; i < 3; ++i) {
        const std::size_t n = std::min(lengths[i], size - at);
        parts[i].assign(reinterpret_cast<const char*>(data + at), n);
        at += n;
    }
    const std::string fileBytes(reinterpret_cast<const char*>(data + at), size - at);
    // The profile functions take UTF-8; what the file receives is the
    // Windows-1252 form of that text.
    const std::string section = cp1252::ToUtf8(parts[0]);
    const std::string key = cp1252::ToUtf8(parts[1]);
    const std::string value = cp1252::ToUtf8(parts[2]);
    for (auto& p : parts) p = cp1252::FromUtf8(cp1252::ToUtf8(p));

    {
        std::ofstream(FilePath(), std::ios::binary | std::ios::trunc) << fileBytes;
    }
    const std::vector<Entry> before = Snapshot();
    const bool batch = (data[0] & 0x80) != 0;
    const bool written = batch ? profile::WriteStrings(section, {{key, value}}, FilePath())
                               : profile::WriteString(section, key, value, FilePath());
    const bool refused = Refused(parts[0], parts[1], parts[2]);
    if (written == refused) std::abort();
    if (!written) {
        if (ReadBytes(FilePath()) != fileBytes) std::abort();
        return 0;
    }
    if (Read(section, key) != cp1252::ToUtf8(AsRead(parts[2]))) std::abort();
    for (const auto& e : before) {
        if (SameName(e.section, section) && SameName(e.key, key)) continue;
        if (Read(e.section, e.key) != e.value) std::abort();
    }
    return 0;
}
