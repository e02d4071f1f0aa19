#pragma once

#include <string_view>

namespace corvane {

// The pass phrase every stored password is encoded under. Changing it makes
// every existing password unreadable.
inline constexpr std::string_view kPasswordPassPhrase =
    "A1B2C3D4E5F60718293A4B5C6D7E8F90F1E2D3C4B5A69788796A5B4C3D2E1F00";

}  // namespace corvane
