#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// One-way password hashes: scrypt over the password's UTF-8 bytes with a
// random salt, stored as ASCII text that fits the 50-character password field
// (see docs/password-cipher.md):
//
//   $s$<log2 N>.<r>.<p>$<salt, 16 base64 characters>$<hash, 22 base64 characters>
//
// The leading "$" tells it from the old cipher form, whose first byte is
// always BF..C8. The text carries its own cost, so a stronger default later
// still verifies what was stored before.
inline constexpr std::size_t kPasswordFieldWidth = 50;

struct PasswordHashCost {
    int logN = 0;  // scrypt's N is 2^logN
    int r = 0;
    int p = 0;
    bool operator==(const PasswordHashCost&) const = default;
};

// The cost of new hashes: one check takes 41 to 45 ms on the 8-core build
// machine (aimed at about 50 ms; see PasswordHash_Verify in bench/).
inline constexpr PasswordHashCost kPasswordHashCost{14, 8, 1};
// The cheapest cost the parser accepts; new hashes use it while CORVANE_TEST
// is set, so that suites with hundreds of logins stay fast.
inline constexpr PasswordHashCost kLowestPasswordHashCost{1, 1, 1};

struct PasswordHash {
    static constexpr std::size_t kSaltBytes = 12;
    static constexpr std::size_t kHashBytes = 16;
    PasswordHashCost cost;
    std::array<std::uint8_t, kSaltBytes> salt{};
    std::array<std::uint8_t, kHashBytes> hash{};
};

// The cost new hashes are made at: kPasswordHashCost, or the lowest one
// while CORVANE_TEST is set.
PasswordHashCost DefaultPasswordHashCost();

// The stored text of password under a fresh random salt. Raises
// vbObjectError + 999 (source "HashPassword") when no random salt can be had
// or scrypt cannot run; never returns a weaker form.
std::string MakePasswordHash(std::string_view password);
std::string MakePasswordHash(std::string_view password, PasswordHashCost cost);

// The field holds the hash form (it starts with "$"), sound or not.
bool IsPasswordHashForm(std::string_view stored);

// The parts of a stored text exactly as FormatPasswordHash writes it: no
// other spelling of the numbers, no padding, no trailing bits, and a cost
// whose work r * N * p is at most twice the default's (one check under about a
// quarter of a second, 32 MiB).
std::optional<PasswordHash> ParsePasswordHash(std::string_view stored);
std::string FormatPasswordHash(const PasswordHash& parts);

// True only when stored parses and password hashes to it under its salt and
// cost; the digests are compared in constant time. A damaged text answers
// false; scrypt failing to run raises as MakePasswordHash does.
bool VerifyPasswordHash(std::string_view password, std::string_view stored);

}  // namespace corvane
