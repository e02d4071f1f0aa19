#include "platform/variant.h"

#include <charconv>

#include "platform/raised_error.h"

namespace corvane {
namespace {

std::string NumberText(double d) {
    if (d == 0) return "0";
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 15);
    std::string text(buf, result.ptr);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

}  // namespace

std::string VariantText(const Variant& v) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(std::uint8_t n) const { return std::to_string(n); }
        std::string operator()(std::int16_t n) const { return std::to_string(n); }
        std::string operator()(std::int32_t n) const { return std::to_string(n); }
        std::string operator()(double d) const { return NumberText(d); }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(const std::vector<std::uint8_t>& bytes) const {
            return std::string(bytes.begin(), bytes.end());
        }
        std::string operator()(const std::vector<std::string>&) const {
            throw RaisedError(kErrTypeMismatch, "Corvane", "Type mismatch");
        }
    };
    return std::visit(Visitor{}, v);
}

}  // namespace corvane
