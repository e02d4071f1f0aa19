#include "platform/settings/variant.h"
#include "platform/core/program_title.h"

#include "platform/core/raised_error.h"
#include "platform/settings/value_text.h"

namespace corvane {

std::string VariantText(const Variant& v) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(bool b) const { return BoolToText(b); }
        std::string operator()(std::uint8_t n) const { return std::to_string(n); }
        std::string operator()(std::int16_t n) const { return std::to_string(n); }
        std::string operator()(std::int32_t n) const { return std::to_string(n); }
        std::string operator()(double d) const { return FormatNumber(d, 15); }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(const std::vector<std::uint8_t>& bytes) const {
            return std::string(bytes.begin(), bytes.end());
        }
        std::string operator()(const std::vector<std::string>&) const {
            throw RaisedError(kErrTypeMismatch, kProgramTitle, "Type mismatch");
        }
    };
    return std::visit(Visitor{}, v);
}

}  // namespace corvane
