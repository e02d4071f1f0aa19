#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/event_loop.h"
#include "errors/error_dialog_seam.h"
#include "errors/mail_sender.h"
#include "errors/system_log.h"
#include "support/fake_clock.h"
#include "support/temp_folder.h"

namespace corvane::test {

// Keeps the entries instead of writing to the machine's system log.
class FakeSystemLog : public SystemLog {
public:
    void WriteError(const std::string& text) override { entries.push_back(text); }
    std::vector<std::string> entries;
};

// Keeps the messages instead of sending them. Messages may come from a
// background thread: read sent after WaitForSent.
class FakeMailSender : public MailSender {
public:
    bool Send(const MailMessage& message) override {
        std::lock_guard<std::mutex> lock(mutex_);
        sent.push_back(message);
        arrived_.notify_all();
        return answer;
    }
    // Whether count messages have come within a few seconds.
    bool WaitForSent(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return sent.size() >= count; });
    }
    std::vector<MailMessage> sent;
    bool answer = true;

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
};

// Records what the error dialog would show and answers from a script.
class ScriptedErrorDialog : public ErrorDialogPresenter {
public:
    int Present(const ErrorDialogRequest& request) override {
        requests.push_back(request);
        if (onPresent) return onPresent(request);
        return answer;
    }
    std::vector<ErrorDialogRequest> requests;
    int answer = 0;
    std::function<int(const ErrorDialogRequest&)> onPresent;
};

// A program folder of its own, a fake system log, a scripted error dialog and
// a sleep that only counts, for one test.
class ErrorReportingTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corvane-errors-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        previousProgramDir_ = environment::Variable("CORVANE_PROGRAM_DIR");
        ::setenv("CORVANE_PROGRAM_DIR", folder_.c_str(), 1);
        systemLog_ = std::make_shared<FakeSystemLog>();
        previousLog_ = SetSystemLog(systemLog_);
        dialog_ = std::make_shared<ScriptedErrorDialog>();
        previousDialog_ = SetErrorDialogPresenter(dialog_);
        mail_ = std::make_shared<FakeMailSender>();
        previousMail_ = SetMailSender(mail_);
        clock::SetSleepFunction([this](std::chrono::milliseconds d) { sleeps_.push_back(d); });
    }

    void TearDown() override {
        clock::SetSleepFunction(nullptr);
        SetYieldHook(nullptr);
        SetMailSender(previousMail_);
        SetErrorDialogPresenter(previousDialog_);
        SetSystemLog(previousLog_);
        if (previousProgramDir_.empty()) ::unsetenv("CORVANE_PROGRAM_DIR");
        else ::setenv("CORVANE_PROGRAM_DIR", previousProgramDir_.c_str(), 1);
        std::error_code ec;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(folder_, ec);
    }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    std::string LogPath() const { return Path("Corvane_ErrorLog.txt"); }
    // A file outside Corvane's own folders, where a person may save or print.
    std::string OutsidePath(const std::string& name) const { return outside_ / name; }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    std::chrono::milliseconds Slept() const {
        std::chrono::milliseconds total{0};
        for (auto d : sleeps_) total += d;
        return total;
    }

    std::string folder_;
    test_support::TempFolder outside_;
    std::shared_ptr<FakeSystemLog> systemLog_;
    std::shared_ptr<ScriptedErrorDialog> dialog_;
    std::shared_ptr<FakeMailSender> mail_;
    std::vector<std::chrono::milliseconds> sleeps_;

private:
    std::string previousProgramDir_;
    std::shared_ptr<SystemLog> previousLog_;
    std::shared_ptr<ErrorDialogPresenter> previousDialog_;
    std::shared_ptr<MailSender> previousMail_;
};

// The number of pages of a PDF file Qt wrote.
inline int PdfPageCount(const std::string& pdf) {
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1)) {
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    }
    return pages;
}

}  // namespace corvane::test
