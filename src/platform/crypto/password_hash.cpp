#include "platform/crypto/password_hash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <charconv>

#include "platform/core/environment.h"
#include "platform/core/raised_error.h"

namespace corvane {
namespace {

constexpr std::string_view kMarker = "$s$";
constexpr char kSeparator = '$';
constexpr std::int32_t kHashError = vbObjectError + 999;

// Bounds on a stored cost: the work r * N * p within twice the default's, so one
// check stays under about a quarter of a second and 128 * r * N bytes of memory
// within 32 MiB; scrypt itself is held to 64 MiB. A stored text may name any cost,
// and the check runs on the window thread.
constexpr int kMaxLogN = 18;
constexpr int kMaxR = 32;
constexpr int kMaxP = 8;
constexpr std::uint64_t kMaxWork = (std::uint64_t{kPasswordHashCost.r} << kPasswordHashCost.logN) *
                                   kPasswordHashCost.p * 2;
constexpr std::uint64_t kMaxMemory = std::uint64_t{64} << 20;
static_assert(128 * kMaxWork + 128 * kMaxR * kMaxP <= kMaxMemory);

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool WithinBounds(const PasswordHashCost& c) {
    if (c.logN < 1 || c.logN > kMaxLogN || c.r < 1 || c.r > kMaxR || c.p < 1 || c.p > kMaxP)
        return false;
    const std::uint64_t rn = static_cast<std::uint64_t>(c.r) << c.logN;
    return rn * static_cast<std::uint64_t>(c.p) <= kMaxWork;
}

// Base64 without padding: 4 characters per 3 bytes, 2 or 3 for a last group of 1 or 2.
template <std::size_t N>
std::string Encode(const std::array<std::uint8_t, N>& bytes) {
    std::string out;
    for (std::size_t i = 0; i < N; i += 3) {
        const std::size_t n = N - i < 3 ? N - i : 3;
        std::uint32_t group = std::uint32_t{bytes[i]} << 16;
        if (n > 1) group |= std::uint32_t{bytes[i + 1]} << 8;
        if (n > 2) group |= bytes[i + 2];
        for (std::size_t k = 0; k <= n; ++k) out += kAlphabet[(group >> (18 - 6 * k)) & 63];
    }
    return out;
}

constexpr std::size_t EncodedLength(std::size_t bytes) { return (bytes * 4 + 2) / 3; }

// The exact inverse of Encode: any other character, length or unused low
// bits refuse.
template <std::size_t N>
bool Decode(std::string_view text, std::array<std::uint8_t, N>& bytes) {
    if (text.size() != EncodedLength(N)) return false;
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t out = 0;
    for (char c : text) {
        const auto at = kAlphabet.find(c);
        if (at == std::string_view::npos) return false;
        bits = (bits << 6) | static_cast<std::uint32_t>(at);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes[out++] = static_cast<std::uint8_t>(bits >> held);
        }
    }
    return (bits & ((1u << held) - 1)) == 0;
}

// A decimal number without sign or leading zero, followed by end.
bool ReadNumber(std::string_view text, char end, std::size_t& at, int& value) {
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    if (first == last || *first == '0') return false;
    const auto [next, error] = std::from_chars(first, last, value);
    if (error != std::errc() || next == last || *next != end) return false;
    at = static_cast<std::size_t>(next - text.data()) + 1;
    return true;
}

std::array<std::uint8_t, PasswordHash::kHashBytes> Scrypt(
    std::string_view password, const std::array<std::uint8_t, PasswordHash::kSaltBytes>& salt,
    const PasswordHashCost& cost) {
    std::array<std::uint8_t, PasswordHash::kHashBytes> out{};
    if (!EVP_PBE_scrypt(password.data(), password.size(), salt.data(), salt.size(),
                        std::uint64_t{1} << cost.logN, static_cast<std::uint64_t>(cost.r),
                        static_cast<std::uint64_t>(cost.p), kMaxMemory, out.data(), out.size()))
        throw RaisedError(kHashError, "HashPassword", "The password hash cannot be computed.");
    return out;
}

}  // namespace

PasswordHashCost DefaultPasswordHashCost() {
    return environment::Variable("CORVANE_TEST").empty() ? kPasswordHashCost
                                                         : kLowestPasswordHashCost;
}

std::string MakePasswordHash(std::string_view password) {
    return MakePasswordHash(password, DefaultPasswordHashCost());
}

std::string MakePasswordHash(std::string_view password, PasswordHashCost cost) {
    if (!WithinBounds(cost))
        throw RaisedError(kHashError, "HashPassword", "The password hash cost is out of range.");
    PasswordHash parts;
    parts.cost = cost;
    if (RAND_bytes(parts.salt.data(), static_cast<int>(parts.salt.size())) != 1)
        throw RaisedError(kHashError, "HashPassword", "No random salt is available.");
    parts.hash = Scrypt(password, parts.salt, cost);
    return FormatPasswordHash(parts);
}

// The longest text within bounds: two digits each for logN and r, one for p.
static_assert(kMarker.size() + std::string_view("10.32.8$").size() + EncodedLength(PasswordHash::kSaltBytes) +
                  1 + EncodedLength(PasswordHash::kHashBytes) <=
              kPasswordFieldWidth);

bool IsPasswordHashForm(std::string_view stored) { return stored.starts_with(kSeparator); }

std::string FormatPasswordHash(const PasswordHash& parts) {
    return std::string(kMarker) + std::to_string(parts.cost.logN) + '.' +
           std::to_string(parts.cost.r) + '.' + std::to_string(parts.cost.p) + kSeparator +
           Encode(parts.salt) + kSeparator + Encode(parts.hash);
}

std::optional<PasswordHash> ParsePasswordHash(std::string_view stored) {
    if (!stored.starts_with(kMarker)) return std::nullopt;
    PasswordHash parts;
    std::size_t at = kMarker.size();
    if (!ReadNumber(stored, '.', at, parts.cost.logN) || !ReadNumber(stored, '.', at, parts.cost.r) ||
        !ReadNumber(stored, kSeparator, at, parts.cost.p) || !WithinBounds(parts.cost))
        return std::nullopt;
    const std::string_view rest = stored.substr(at);
    const std::size_t saltLength = EncodedLength(PasswordHash::kSaltBytes);
    if (rest.size() != saltLength + 1 + EncodedLength(PasswordHash::kHashBytes) ||
        rest[saltLength] != kSeparator || !Decode(rest.substr(0, saltLength), parts.salt) ||
        !Decode(rest.substr(saltLength + 1), parts.hash))
        return std::nullopt;
    return parts;
}

bool VerifyPasswordHash(std::string_view password, std::string_view stored) {
    const auto parts = ParsePasswordHash(stored);
    if (!parts) return false;
    const auto computed = Scrypt(password, parts->salt, parts->cost);
    return CRYPTO_memcmp(computed.data(), parts->hash.data(), computed.size()) == 0;
}

}  // namespace corvane
