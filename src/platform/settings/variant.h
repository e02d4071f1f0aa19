#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace corvane {

// A value of one of the kinds the registry accessors hand back and forth:
// nothing (Empty), a Boolean, a byte, a 16- or 32-bit whole number, a
// fractional number, a text, a byte array or a list of texts.
using Variant = std::variant<std::monostate, bool, std::uint8_t, std::int16_t, std::int32_t, double, std::string,
                             std::vector<std::uint8_t>, std::vector<std::string>>;

inline constexpr std::int32_t kErrTypeMismatch = 13;

inline bool IsEmpty(const Variant& v) { return std::holds_alternative<std::monostate>(v); }

// The value as text: Empty gives "", a Boolean "True" or "False", numbers
// their decimal text with a point, a byte array its bytes as characters. A
// list of texts has no text form and raises a type mismatch.
std::string VariantText(const Variant& v);

}  // namespace corvane
