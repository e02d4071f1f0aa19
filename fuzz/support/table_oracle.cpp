#include "support/table_oracle.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/core/program_globals.h"

namespace corvane::fuzz {

Oracle::Oracle(std::string bytes, const TableFormat& format) : bytes_(std::move(bytes)), format_(format) {
    const std::size_t length = bytes_.size();
    std::size_t q = length / format_.slot;
    const std::size_t twice = 2 * (length % format_.slot);
    if (twice > format_.slot || (twice == format_.slot && q % 2 == 1)) ++q;
    slots_ = static_cast<std::int32_t>(q);
}

bool Oracle::Whole(std::int32_t n) const {
    return n >= 1 && (static_cast<std::size_t>(n) - 1) * format_.slot + format_.data <= bytes_.size();
}

std::string_view Oracle::Data(std::int32_t n) const {
    return std::string_view(bytes_).substr((static_cast<std::size_t>(n) - 1) * format_.slot, format_.data);
}

std::string Oracle::Key(std::int32_t n, std::size_t k) const {
    std::string_view field = Data(n).substr(format_.keys[k].first, format_.keys[k].second);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    return std::string(field);
}

bool Oracle::KeyBlank(std::int32_t n) const {
    for (std::size_t k = 0; k < format_.keys.size(); ++k)
        if (!Key(n, k).empty()) return false;
    return true;
}

bool Oracle::Valid(std::int32_t n) const {
    if (!Whole(n)) return false;
    const std::string_view d = Data(n);
    const auto deleted = static_cast<std::int16_t>(static_cast<std::uint8_t>(d[format_.deleted]) |
                                                   (static_cast<std::uint8_t>(d[format_.deleted + 1]) << 8));
    return deleted != -1 && !KeyBlank(n);
}

std::int32_t Oracle::Keyed() const {
    std::int32_t count = 0;
    for (std::int32_t n = 1; n <= slots_; ++n)
        if (Whole(n) && !KeyBlank(n)) ++count;
    return count;
}

std::vector<std::int32_t> Oracle::ValidIds() const {
    std::vector<std::int32_t> ids;
    for (std::int32_t n = 1; n <= slots_; ++n)
        if (Valid(n)) ids.push_back(n);
    return ids;
}

void Require(bool condition, const std::string& what) {
    if (condition) return;
    std::fprintf(stderr, "check failed: %s\n", what.c_str());
    std::abort();
}

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        std::string pattern = (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        pattern += "/corvane-fuzz-XXXXXX";
        Require(::mkdtemp(pattern.data()) != nullptr, "a scratch folder");
        gDataPath = pattern;
        return pattern;
    }();
    return folder;
}

std::string WriteTableFile(const TableFormat& format, const std::uint8_t* data, std::size_t size) {
    const std::string path = ScratchFolder() + "/" + format.fileName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Require(out.good(), "writing " + path);
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace corvane::fuzz
