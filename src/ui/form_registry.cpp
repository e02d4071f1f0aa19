#include "ui/form_registry.h"

#include <utility>

namespace corvane {
namespace {
std::shared_ptr<FormRegistry>& Installed() {
    static std::shared_ptr<FormRegistry> registry;
    return registry;
}
}  // namespace

std::shared_ptr<FormRegistry> SetFormRegistry(std::shared_ptr<FormRegistry> registry) {
    return std::exchange(Installed(), std::move(registry));
}

std::shared_ptr<FormRegistry> CurrentFormRegistry() { return Installed(); }

}  // namespace corvane
