#pragma once

#include <string>

namespace corvane {

// The program's identity: the product and edition title and the registry
// root; every settings key path begins with gRegistryRoot\gProductName.
extern std::string gProductName;   // "Corvane Standard"
extern std::string gRegistryRoot;  // "Software\Pellix Software"

// Sets both identity values; start-up calls it before any setting is read.
void SetProductInfo();

}  // namespace corvane
