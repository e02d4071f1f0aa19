#pragma once

#include <string_view>

namespace corvane::options {

// A lockdown option's stored text as a truth value: a number is on unless it
// is 0, "True" and "False" stand for themselves (any case, blanks around
// ignored); any other text raises a type mismatch.
bool LockdownTextIsOn(std::string_view text);

}  // namespace corvane::options
