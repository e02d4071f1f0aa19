#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "errors/mail_sender.h"
#include "platform/network/network.h"
#include "session/helpers/mail_helpers.h"

using namespace corvane;

namespace {

class RecordingSender final : public MailSender {
public:
    std::vector<MailMessage> sent;
    bool accept = true;
    bool Send(const MailMessage& message) override {
        sent.push_back(message);
        return accept;
    }
};

class FakeConnection final : public NetworkPlatform {
public:
    bool connected = true;
    std::vector<std::array<std::uint8_t, 4>> ResolveIPv4(const std::string&) override { return {}; }
    bool ConnectedState(std::uint32_t& flags) override {
        flags = connected ? Network::kLan : 0;
        return connected;
    }
};

class MailHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetMailSender(sender_);
        SetNetworkPlatform(connection_);
    }
    void TearDown() override {
        SetMailSender(previous_);
        SetNetworkPlatform(nullptr);
    }

    std::shared_ptr<RecordingSender> sender_ = std::make_shared<RecordingSender>();
    std::shared_ptr<FakeConnection> connection_ = std::make_shared<FakeConnection>();
    std::shared_ptr<MailSender> previous_;
};

TEST_F(MailHelpersTest, SendEMailHandsTheMessageOnAndAnswersTheSendersResult) {
    std::string from = "me", to = "ops@example.org", subject = "Report", text = "Body", name = "", path = "";
    frmResources resources;
    EXPECT_TRUE(resources.SendEMail(from, to, subject, text, name, path));
    sender_->accept = false;
    EXPECT_FALSE(resources.SendEMail(from, to, subject, text, name, path));
    ASSERT_EQ(sender_->sent.size(), 2u);
    const MailMessage& m = sender_->sent[0];
    EXPECT_EQ(m.to, "ops@example.org");
    EXPECT_EQ(m.subject, "Report");
    EXPECT_EQ(m.text, "Body");
    EXPECT_EQ(m.attachmentName, "");
    EXPECT_EQ(m.attachmentPathName, "");
}

TEST_F(MailHelpersTest, SendEMailMessageSendsOnlyWhenConnectedToSomebody) {
    struct Row {
        bool connected;
        const char* to;
        bool sent;
    } const rows[] = {
        {true, "ops@example.org", true},
        {true, "   ", false},
        {true, "", false},
        {false, "ops@example.org", false},
    };
    for (const auto& r : rows) {
        sender_->sent.clear();
        connection_->connected = r.connected;
        SendEMailMessage("me", r.to, "Subject", "Text", "log.txt", "/tmp/log.txt");
        ASSERT_EQ(sender_->sent.size(), r.sent ? 1u : 0u) << r.connected << " '" << r.to << "'";
        if (r.sent) {
            EXPECT_EQ(sender_->sent[0].to, r.to);
            EXPECT_EQ(sender_->sent[0].attachmentName, "log.txt");
            EXPECT_EQ(sender_->sent[0].attachmentPathName, "/tmp/log.txt");
        }
    }
}

}  // namespace
