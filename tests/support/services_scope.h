#pragma once

#include "ui_core/ui_services.h"

namespace corvane::test {

// Replaces the window layer's services for one test and puts them back.
class ServicesScope {
public:
    explicit ServicesScope(ui::UiServices services) : previous_(ui::SetServices(std::move(services))) {}
    ~ServicesScope() { ui::SetServices(previous_); }
    ServicesScope(const ServicesScope&) = delete;
    ServicesScope& operator=(const ServicesScope&) = delete;

private:
    ui::UiServices previous_;
};

}  // namespace corvane::test
