#include "platform/settings/product_info.h"

namespace corvane {

namespace {
constexpr const char* kProductName = "Corvane Standard";
constexpr const char* kRegistryRoot = "Software\\Pellix Software";
}  // namespace

// Set from the start so that nothing can read settings from a wrong key.
std::string gProductName = kProductName;
std::string gRegistryRoot = kRegistryRoot;

void SetProductInfo() {
    gProductName = kProductName;
    gRegistryRoot = kRegistryRoot;
}

}  // namespace corvane
