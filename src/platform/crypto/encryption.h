#pragma once

#include <string>
#include <string_view>

namespace corvane {

// The face of the password cipher the windows use: each call makes a new
// Cypher and forwards to it, passing its errors on. Text is UTF-8; the
// result of EnCode holds Windows-1252 characters one per byte of the stored
// form, so a record field written from it gets exactly those bytes.
class Encryption {
public:
    std::string DeCode(std::string_view data, std::string_view key) const;
    std::string EnCode(std::string_view data, std::string_view key) const;
};

}  // namespace corvane
