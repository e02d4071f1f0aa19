#include "platform/settings/registry_row_sum.h"

namespace corvane {
namespace {

class Fnv {
public:
    explicit Fnv(char tag) { Byte(static_cast<unsigned char>(tag)); }
    Fnv& Number(std::int64_t n) {
        const auto u = static_cast<std::uint64_t>(n);
        for (int i = 0; i < 8; ++i) Byte(static_cast<unsigned char>(u >> (8 * i)));
        return *this;
    }
    Fnv& Text(std::string_view s) {
        Number(static_cast<std::int64_t>(s.size()));
        for (char c : s) Byte(static_cast<unsigned char>(c));
        return *this;
    }
    std::int64_t Value() const { return static_cast<std::int64_t>(hash_); }

private:
    void Byte(unsigned char b) {
        hash_ ^= b;
        hash_ *= 0x100000001b3ULL;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

}  // namespace

std::int64_t KeyRowSum(std::int64_t id, std::int64_t parent, std::string_view name, std::string_view folded) {
    return Fnv('k').Number(id).Number(parent).Text(name).Text(folded).Value();
}

std::int64_t EntryRowSum(std::int64_t key, std::string_view name, std::string_view folded, std::int32_t type,
                         std::string_view data) {
    return Fnv('e').Number(key).Text(name).Text(folded).Number(type).Text(data).Value();
}

}  // namespace corvane
