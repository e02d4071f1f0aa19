#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "logs/current_user.h"
#include "platform/core/error_trap.h"
#include "platform/core/ole_date.h"
#include "platform/settings/global_settings.h"
#include "recordstore/test_support.h"
#include "support/own_registry.h"

namespace corvane::testing {

// Slot and data lengths of the three logs.
constexpr std::size_t kUserLogSlot = 364, kUserLogData = 194;
constexpr std::size_t kActivitySlot = 764, kActivityData = 385;
constexpr std::size_t kWebsiteLogSlot = 804, kWebsiteLogData = 405;

constexpr const char* kComputer = "WS-07";
constexpr const char* kAppName = "Corvane Standard";
// 2024-05-06 07:08:09 local time, the clock of every test here.
constexpr double kNow = 45418.0 + (7 * 3600 + 8 * 60 + 9) / 86400.0;

struct ReportedError {
    std::int32_t number;
    std::string source;
    std::string place;
};

// A data folder of its own, settings kept off the machine, a fixed clock and computer name,
// every log switched on, nobody logged in, and an error handler that records each error and
// answers as the test says (leave unless told otherwise).
class LogsTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        registry_.emplace(folder_, test_support::OwnRegistry::kAndProgramFolder);
        UseComputerName(kComputer);
        UseClock(kNow);
        gEXEAppName = kAppName;
        gLanguage = 0;
        gDisableUserLogging = false;
        gEnableActivityLogging = true;
        gEnableWebsiteLogging = true;
        gAuthenticatedUser.clear();
        gUserLogFile.clear();
        gActivityFile.clear();
        gWebsiteLogFile.clear();
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int) {
            errors.push_back({e.Number(), e.Source(), place});
            return answer ? answer(errors.size()) : kErrorLeave;
        });
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        registry_.reset();
        gEXEAppName.clear();
        gAuthenticatedUser.clear();
        gEnableActivityLogging = gEnableWebsiteLogging = gDisableUserLogging = false;
        DataFolderTest::TearDown();
    }

    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }

    std::vector<ReportedError> errors;
    // Given the number of errors so far, the handler's answer.
    std::function<int(std::size_t)> answer;

private:
    std::optional<test_support::OwnRegistry> registry_;
};

// Hand-typed log records at the offsets of the formats.
inline RawRecord UserLogRecord(std::string_view login, std::string_view name, std::int16_t failed,
                               std::int16_t active, std::int16_t invalid) {
    RawRecord r(kUserLogData);
    r.Text(0, 20, login).Text(20, 50, name).Text(70, 50, kAppName).Text(120, 50, kComputer);
    r.Double(170, kNow).Double(178, 0.0).Int16(186, failed).Int16(188, active).Int16(190, invalid);
    return r;
}

inline RawRecord ActivityRecord(std::string_view login, std::string_view details) {
    RawRecord r(kActivityData);
    r.Text(0, 20, login).Text(20, 50, kAppName).Text(70, 50, kComputer).Text(120, 255, details);
    r.Double(375, kNow);
    return r;
}

inline RawRecord WebsiteRecord(std::string_view login, std::string_view url, std::string_view status) {
    RawRecord r(kWebsiteLogData);
    r.Text(0, 20, login).Text(20, 50, kAppName).Text(70, 50, kComputer).Text(120, 255, url);
    r.Double(375, kNow).Text(383, 20, status);
    return r;
}

}  // namespace corvane::testing
