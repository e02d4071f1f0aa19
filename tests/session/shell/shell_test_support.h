#pragma once

#include <string>
#include <vector>

#include "session/shell/tray_icon.h"

namespace corvane::testing {

// A notification area that notes what is asked of it.
class FakeTrayBackend : public TrayBackend {
public:
    explicit FakeTrayBackend(std::vector<std::string>* calls, bool available = true)
        : calls_(calls), available_(available) {}
    bool Available() const override { return available_; }
    void Add(const QString& tip, const QIcon&) override { calls_->push_back("Add " + tip.toStdString()); }
    void Modify(const QString& tip, const QIcon&) override { calls_->push_back("Modify " + tip.toStdString()); }
    void Delete() override { calls_->push_back("Delete"); }

private:
    std::vector<std::string>* calls_;
    bool available_;
};

}  // namespace corvane::testing
