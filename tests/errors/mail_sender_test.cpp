#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <mutex>

#include "errors/error_test_support.h"
#include "errors/mail_composer.h"
#include "errors/sendmail_sender.h"

using namespace corvane;

namespace {

class Mail : public test::ErrorReportingTest {
protected:
    // A mail program that keeps its arguments and what it was given.
    std::string FakeSendmail(int exitCode = 0) {
        const std::string script = Path("sendmail");
        WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + Path("args") + "\"\ncat > \"" +
                              Path("stdin") + "\"\nexit " + std::to_string(exitCode) + "\n");
        ::chmod(script.c_str(), 0755);
        return script;
    }

    static MailEnvelope Envelope() {
        MailEnvelope e;
        e.fromAddress = "ann@ws01";
        e.date = std::chrono::sys_days(std::chrono::year(2026) / 12 / 9) + std::chrono::minutes(47) +
                 std::chrono::seconds(3);
        e.utcOffsetMinutes = -300;
        e.uniqueId = "1.2.3";
        e.host = "ws01";
        return e;
    }
};

}  // namespace

TEST_F(Mail, AReportBecomesAnRfc5322Message) {
    MailMessage m{"Error Report", " help@corvane.example ", "Error Report",
                  "Error 5 [Bad]\r\nOccured in A.B at 17:45 on the 3/14/2026", "", ""};
    EXPECT_EQ(*ComposeMail(m, Envelope()),
              "From: ann@ws01\r\n"
              "To: help@corvane.example\r\n"
              "Subject: Error Report\r\n"
              "Date: Tue, 08 Dec 2026 19:47:03 -0500\r\n"
              "Message-ID: <1.2.3@ws01>\r\n"
              "MIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=UTF-8\r\n"
              "Content-Transfer-Encoding: 7bit\r\n"
              "\r\n"
              "Error 5 [Bad]\r\n"
              "Occured in A.B at 17:45 on the 3/14/2026\r\n");
}

TEST_F(Mail, NoValueCanAddAHeaderAndOtherTextIsEncoded) {
    MailMessage m{"", "a@b\r\nBcc: c@d", "Caf\xC3\xA9\nBcc: e@f", "Gr\xC3\xBC\xC3\x9F" "e", "", ""};
    const std::string mail = *ComposeMail(m, Envelope());
    EXPECT_EQ(mail.find("\r\nBcc:"), std::string::npos);
    EXPECT_NE(mail.find("To: a@b  Bcc: c@d\r\n"), std::string::npos);
    EXPECT_NE(mail.find("Subject: =?UTF-8?B?"), std::string::npos);
    EXPECT_NE(mail.find("Content-Transfer-Encoding: 8bit\r\n\r\nGr\xC3\xBC\xC3\x9F" "e\r\n"),
              std::string::npos);
    EXPECT_FALSE(ComposeMail({"", "   ", "s", "t", "", ""}, Envelope())) << "no recipient";
}

TEST_F(Mail, AnAttachmentTravelsAsBase64AndAMissingOneFails) {
    const std::string file = Path("log.txt");
    WriteFile(file, "abc");
    const std::string mail = *ComposeMail({"", "a@b", "s", "text", "", file}, Envelope());
    EXPECT_NE(mail.find("Content-Type: multipart/mixed; boundary=\"=_corvane_1.2.3\""),
              std::string::npos);
    EXPECT_NE(mail.find("filename=\"log.txt\"\r\nContent-Transfer-Encoding: base64\r\n\r\nYWJj\r\n"
                        "--=_corvane_1.2.3--\r\n"),
              std::string::npos);
    EXPECT_FALSE(ComposeMail({"", "a@b", "s", "text", "x.txt", Path("missing")}, Envelope()));
    EXPECT_EQ(Base64Lines(std::string(57, 'x')).size(), 76u + 2u);
}

TEST_F(Mail, TheSendmailSenderHandsTheMessageToTheProgram) {
    auto sender = MakeSendmailSender(FakeSendmail());
    EXPECT_TRUE(sender->Send({"Error Report", "help@corvane.example", "Error Report", "line 1\r\nline 2", "", ""}));
    EXPECT_EQ(ReadFile(Path("args")), "-oi\n--\nhelp@corvane.example\n");
    const std::string given = ReadFile(Path("stdin"));
    EXPECT_NE(given.find("To: help@corvane.example\nSubject: Error Report\n"), std::string::npos);
    EXPECT_TRUE(given.ends_with("\n\nline 1\nline 2\n")) << "local line ends for the program";
    EXPECT_EQ(given.find('\r'), std::string::npos);

    // The program is given the address the To header names.
    EXPECT_TRUE(sender->Send({"", " a@b\r\n", "s", "t", "", ""}));
    EXPECT_EQ(ReadFile(Path("args")), "-oi\n--\na@b\n");
    EXPECT_NE(ReadFile(Path("stdin")).find("To: a@b\n"), std::string::npos);
}

TEST_F(Mail, WithoutAWorkingMailProgramTheAnswerIsFalse) {
    EXPECT_FALSE(MakeSendmailSender(Path("no-such-program"))->Send({"", "a@b", "s", "t", "", ""}));
    EXPECT_FALSE(MakeSendmailSender(FakeSendmail(75))->Send({"", "a@b", "s", "t", "", ""}));
    EXPECT_FALSE(MakeSendmailSender(folder_)->Send({"", "a@b", "s", "t", "", ""})) << "a folder";
}

TEST_F(Mail, SendEMailGoesThroughTheInstalledSenderAndNeverRaises) {
    mail_->answer = false;
    EXPECT_FALSE(SendEMail("Error Report", "a@b", "Error Report", "text", "", ""));
    ASSERT_EQ(mail_->sent.size(), 1u);
    EXPECT_EQ(mail_->sent[0].to, "a@b");
    EXPECT_EQ(mail_->sent[0].text, "text");

    class Throwing : public MailSender {
        bool Send(const MailMessage&) override { throw std::runtime_error("boom"); }
    };
    SetMailSender(std::make_shared<Throwing>());
    EXPECT_FALSE(SendEMail("", "a@b", "", "", "", ""));
}

TEST_F(Mail, AProgramThatDoesNotFinishInTimeIsStoppedAndReaped) {
    // Neither reads its input; the second will not end when asked.
    const char* scripts[] = {
        "exec sleep 30\n",
        "trap '' TERM\nwhile :; do sleep 0.1; done\n",
    };
    for (const char* body : scripts) {
        const std::string script = Path("slow-sendmail");
        WriteFile(script, "#!/bin/sh\necho $$ > \"" + Path("pid") + "\"\n" + body);
        ::chmod(script.c_str(), 0755);
        auto sender = MakeSendmailSender(script, std::chrono::milliseconds(500));
        // More than a pipe holds, so writing it must give up too.
        const std::string text(1 << 20, 'x');
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(sender->Send({"", "a@b", "s", text, "", ""})) << body;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << body;
        const pid_t pid = std::stoi(ReadFile(Path("pid")));
        EXPECT_EQ(::kill(pid, 0), -1) << body << ": no zombie left";
        EXPECT_EQ(errno, ESRCH) << body;
    }
}

TEST_F(Mail, InTheBackgroundTheCallerDoesNotWaitForTheSender) {
    class Gated : public MailSender {
    public:
        bool Send(const MailMessage& message) override {
            std::unique_lock<std::mutex> lock(mutex);
            opened.wait(lock, [&] { return open; });
            to = message.to;
            done = true;
            finished.notify_all();
            return false;
        }
        std::mutex mutex;
        std::condition_variable opened, finished;
        bool open = false, done = false;
        std::string to;
    };
    auto gated = std::make_shared<Gated>();
    SetMailSender(gated);
    SendEMailInBackground("Error Report", "help@corvane.example", "Error Report", "text", "", "");
    SetMailSender(mail_);  // the message keeps the sender it was given to
    std::unique_lock<std::mutex> lock(gated->mutex);
    EXPECT_FALSE(gated->done);
    gated->open = true;
    gated->opened.notify_all();
    ASSERT_TRUE(gated->finished.wait_for(lock, std::chrono::seconds(10), [&] { return gated->done; }));
    EXPECT_EQ(gated->to, "help@corvane.example");
    EXPECT_TRUE(mail_->sent.empty());
}
