#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/network/network_neighbourhood.h"
#include "platform/network/network_resource.h"
#include "platform/system/process_spawn.h"
#include "session/helpers/network_helpers.h"

using namespace corvane;

namespace {

// A neighbourhood of children per remote name ("" is the top); a name listed in unreadable
// cannot be enumerated.
class FakeNeighbourhood final : public NetworkNeighbourhood {
public:
    std::map<std::string, std::vector<NetResourceRecord>> children;
    std::vector<std::string> unreadable;

    std::unique_ptr<NetworkEnumeration> Open(std::int32_t, std::int32_t, std::int32_t,
                                             const NetResourceRecord& parent) override {
        for (const auto& name : unreadable)
            if (name == parent.remoteName) return nullptr;
        const auto it = children.find(parent.remoteName);
        return std::make_unique<All>(it == children.end() ? std::vector<NetResourceRecord>{} : it->second);
    }

private:
    class All final : public NetworkEnumeration {
    public:
        explicit All(std::vector<NetResourceRecord> all) : all_(std::move(all)) {}
        std::int32_t Next(std::vector<NetResourceRecord>& entries) override {
            if (given_) return kNetNoMoreItems;
            given_ = true;
            entries = all_;
            return kNetSuccess;
        }

    private:
        std::vector<NetResourceRecord> all_;
        bool given_ = false;
    };
};

NetResourceRecord Entry(const std::string& remote, std::int32_t displayType) {
    NetResourceRecord r;
    r.remoteName = remote;
    r.displayType = displayType;
    return r;
}

class NetworkHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetNetworkNeighbourhood(fake_);
        SetSpawnFunction([this](const std::vector<std::string>& argv, const std::string& dir) {
            started_.push_back(argv);
            EXPECT_EQ(dir, "");
            if (argv.size() > 2 && argv[2] == failingHost_) throw std::runtime_error("cannot start");
            return 100;
        });
        ::setenv("CORVANE_COMPUTER_NAME", "WS1", 1);
    }
    void TearDown() override {
        SetNetworkNeighbourhood(nullptr);
        SetSpawnFunction(nullptr);
        ::unsetenv("CORVANE_COMPUTER_NAME");
    }

    // A network, a domain and a group at the top, with servers, shares and nested entries.
    void TypicalNeighbourhood() {
        fake_->children[""] = {Entry("Net", 6), Entry("CORP", 1), Entry("HOME", 5), Entry("\\\\LONE", 2)};
        fake_->children["Net"] = {Entry("\\\\A", 2), Entry("SALES", 1), Entry("TEAM", 5), Entry("\\\\A\\share", 3)};
        fake_->children["SALES"] = {Entry("\\\\B", 2), Entry("\\\\B\\docs", 3)};
        fake_->children["TEAM"] = {Entry("\\\\HIDDEN", 2)};  // a group below a network is not searched
        fake_->children["CORP"] = {Entry("\\\\C", 2), Entry("\\\\A", 2)};  // A again: kept once
        fake_->children["HOME"] = {Entry("\\\\D", 2), Entry("SHELF", 3)};
        fake_->children["SHELF"] = {Entry("\\\\E", 2)};  // every child of a group is searched
        fake_->children["\\\\D"] = {Entry("\\\\D\\music", 3)};
    }

    static std::vector<std::string> Names(const NetworkResources& found) {
        std::vector<std::string> names;
        for (const auto& r : found) names.push_back(r->ShortName());
        return names;
    }

    std::shared_ptr<FakeNeighbourhood> fake_ = std::make_shared<FakeNeighbourhood>();
    std::vector<std::vector<std::string>> started_;
    std::string failingHost_;
};

TEST_F(NetworkHelpersTest, FindsTheServersBelowNetworksDomainsAndGroups) {
    TypicalNeighbourhood();
    EXPECT_EQ(Names(*GetNetworkComputers()), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
}

TEST_F(NetworkHelpersTest, AnEntryThatCannotBeEnumeratedIsSkipped) {
    TypicalNeighbourhood();
    fake_->unreadable = {"SALES", "HOME"};
    EXPECT_EQ(Names(*GetNetworkComputers()), (std::vector<std::string>{"A", "C"}));
    fake_->unreadable = {""};
    EXPECT_EQ(GetNetworkComputers()->Count(), 0);
}

TEST_F(NetworkHelpersTest, BroadcastStartsNetSendAsArgumentsForEveryOtherComputer) {
    fake_->children[""] = {Entry("CORP", 1)};
    fake_->children["CORP"] = {Entry("\\\\WS1", 2), Entry("\\\\OTHER", 2)};
    const std::string message = "Unknown login \"x\"; rm -rf / & echo $HOME";
    // Only this computer's exact name is left out; the message is one argument as given.
    struct Row {
        const char* self;
        std::vector<std::string> reached;
    } const rows[] = {{"WS1", {"OTHER"}}, {"ws1", {"WS1", "OTHER"}}};
    for (const auto& r : rows) {
        ::setenv("CORVANE_COMPUTER_NAME", r.self, 1);
        started_.clear();
        BroadcastNetMessage(message);
        std::vector<std::vector<std::string>> expected;
        for (const auto& host : r.reached) expected.push_back({"net", "send", host, message});
        EXPECT_EQ(started_, expected) << r.self;
    }
}

TEST_F(NetworkHelpersTest, BroadcastGoesOnPastAComputerThatCannotBeReached) {
    fake_->children[""] = {Entry("CORP", 1)};
    fake_->children["CORP"] = {Entry("\\\\P", 2), Entry("\\\\Q", 2)};
    failingHost_ = "P";
    EXPECT_NO_THROW(BroadcastNetMessage("hello"));
    ASSERT_EQ(started_.size(), 2u);
    EXPECT_EQ(started_[1][2], "Q");
}

TEST_F(NetworkHelpersTest, BroadcastWithoutANeighbourhoodStartsNothing) {
    SetNetworkNeighbourhood(nullptr);  // the Linux one finds no computers
    BroadcastNetMessage("hello");
    EXPECT_TRUE(started_.empty());
}

}  // namespace
