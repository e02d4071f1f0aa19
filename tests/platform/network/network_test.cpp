#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "platform/network/net_accounts.h"
#include "platform/network/net_users.h"
#include "platform/network/network.h"
#include "platform/network/network_resource.h"
#include "platform/core/raised_error.h"

using namespace corvane;

namespace {

class FakeNetworkPlatform final : public NetworkPlatform {
public:
    std::vector<std::array<std::uint8_t, 4>> addresses;
    bool connected = true;
    std::uint32_t flags = 0;
    std::vector<std::array<std::uint8_t, 4>> ResolveIPv4(const std::string&) override { return addresses; }
    bool ConnectedState(std::uint32_t& f) override {
        f = flags;
        return connected;
    }
};

// A neighbourhood given as children per remote name; each Next hands out
// one page of at most two entries.
class FakeNeighbourhood final : public NetworkNeighbourhood {
public:
    std::map<std::string, std::vector<NetResourceRecord>> children;
    std::vector<NetResourceRecord> printers;
    std::int32_t failWith = 0;  // status every Next answers, when set
    int opens = 0;

    std::unique_ptr<NetworkEnumeration> Open(std::int32_t, std::int32_t type, std::int32_t,
                                             const NetResourceRecord& parent) override {
        ++opens;
        if (failWith) return std::make_unique<Pages>(std::vector<NetResourceRecord>{}, failWith);
        if (type == 2) return std::make_unique<Pages>(printers, 0);
        const auto it = children.find(parent.remoteName);
        if (it == children.end()) return nullptr;
        return std::make_unique<Pages>(it->second, 0);
    }

private:
    class Pages final : public NetworkEnumeration {
    public:
        Pages(std::vector<NetResourceRecord> all, std::int32_t fail) : all_(std::move(all)), fail_(fail) {}
        std::int32_t Next(std::vector<NetResourceRecord>& entries) override {
            ++calls;
            if (fail_) return fail_;
            if (!askedMore_) {  // the first call asks for a bigger buffer
                askedMore_ = true;
                return kNetMoreData;
            }
            for (int i = 0; i < 2 && at_ < all_.size(); ++i) entries.push_back(all_[at_++]);
            return kNetSuccess;
        }
        int calls = 0;

    private:
        std::vector<NetResourceRecord> all_;
        std::size_t at_ = 0;
        std::int32_t fail_;
        bool askedMore_ = false;
    };
};

NetResourceRecord Entry(const std::string& remote, std::int32_t displayType) {
    NetResourceRecord r;
    r.remoteName = remote;
    r.displayType = displayType;
    r.comment = "c " + remote;
    return r;
}

}  // namespace

TEST(Network, AddressesAndConnectionFlags) {
    auto fake = std::make_shared<FakeNetworkPlatform>();
    SetNetworkPlatform(fake);
    const Network net;
    EXPECT_EQ(net.LastError(), "");
    EXPECT_EQ(net.GetIPAddressFromHostName("nowhere"), "<error>");
    fake->addresses = {{10, 0, 0, 5}, {192, 168, 1, 7}};
    EXPECT_EQ(net.GetIPAddressFromHostName("two"), "10.0.0.5\r\n192.168.1.7");

    fake->flags = 0x03;
    EXPECT_TRUE(net.IsModemConnection());
    EXPECT_TRUE(net.IsLanConnection());
    EXPECT_FALSE(net.IsProxyConnection());
    EXPECT_FALSE(net.IsRasInstalled());
    EXPECT_TRUE(net.IsNetConnected());
    fake->connected = false;
    EXPECT_FALSE(net.IsNetConnected());
    SetNetworkPlatform(nullptr);

    EXPECT_EQ(net.GetIPAddressFromHostName("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(net.GetIPAddressFromHostName(""), "<error>");
}

TEST(NetworkResource, EnumeratesChildrenOnceLevelByLevel) {
    auto fake = std::make_shared<FakeNeighbourhood>();
    fake->children[""] = {Entry("Microsoft Windows Network", 6)};
    fake->children["Microsoft Windows Network"] = {Entry("WORKGROUP", 1)};
    fake->children["WORKGROUP"] = {Entry("\\\\ALPHA", 2), Entry("\\\\beta", 2), Entry("\\\\GAMMA", 2)};
    SetNetworkNeighbourhood(fake);

    NetworkResource root;
    EXPECT_EQ(root.Nodes().Count(), 1);
    EXPECT_EQ(root.Nodes().Count(), 1);
    EXPECT_EQ(fake->opens, 1);  // read again: not enumerated again
    auto network = root.Nodes().Item(1);
    ASSERT_TRUE(network);
    EXPECT_EQ(network->ResourceTypeName(), "Network");
    auto group = network->Nodes().Item("microsoft windows network");
    EXPECT_FALSE(group);  // keys are the children's names, not the parent's
    group = network->Nodes().Item(1);
    ASSERT_TRUE(group);
    std::vector<std::string> servers;
    for (const auto& server : group->Nodes()) servers.push_back(server->ShortName());
    EXPECT_EQ(servers, (std::vector<std::string>{"ALPHA", "beta", "GAMMA"}));
    EXPECT_EQ(group->Nodes().Item("\\\\BETA")->Comment(), "c \\\\beta");
    EXPECT_FALSE(group->Nodes().Item("\\\\DELTA"));
    EXPECT_FALSE(group->Nodes().Item(4));
    EXPECT_FALSE(group->Nodes().Item(0));

    group->Nodes().Remove("\\\\beta");
    EXPECT_EQ(group->Nodes().Count(), 2);
    EXPECT_THROW(group->Nodes().Remove("\\\\beta"), RaisedError);
    EXPECT_THROW(group->Nodes().Remove(7), RaisedError);

    // A server whose enumeration cannot be opened has no children and tries
    // again on the next read.
    auto alpha = group->Nodes().Item(1);
    const int before = fake->opens;
    EXPECT_EQ(alpha->Nodes().Count(), 0);
    EXPECT_FALSE(alpha->NodesLoaded());
    EXPECT_EQ(alpha->Nodes().Count(), 0);
    EXPECT_EQ(fake->opens, before + 2);
    SetNetworkNeighbourhood(nullptr);
}

TEST(NetworkResource, FailuresEndTheWalkAndDuplicatesReachTheCaller) {
    auto fake = std::make_shared<FakeNeighbourhood>();
    SetNetworkNeighbourhood(fake);
    fake->failWith = 1222;  // every call fails: the walk must still end
    NetworkResource root;
    EXPECT_EQ(root.Nodes().Count(), 0);
    EXPECT_TRUE(root.NodesLoaded());

    fake->failWith = 0;
    fake->children[""] = {Entry("\\\\A", 2), Entry("\\\\B", 2), Entry("\\\\a", 2)};
    NetworkResource dup;
    EXPECT_THROW(dup.GetNodes(), RaisedError);
    EXPECT_FALSE(dup.NodesLoaded());

    fake->children[""] = {Entry("\\\\SERVER", 2)};
    fake->printers = {Entry("\\\\SERVER\\laser", 3), Entry("\\\\SERVER\\odd", 1)};
    NetworkResource server;
    EXPECT_THROW(server.GetPrinters(), RaisedError);  // Nodes not read yet
    server.Nodes();
    server.GetPrinters();
    ASSERT_EQ(server.Nodes().Count(), 2);
    auto printer = server.Nodes().Item(2);
    EXPECT_EQ(printer->ResourceType(), 255);
    EXPECT_EQ(printer->ResourceTypeName(), "Printer");
    EXPECT_EQ(printer->ShortName(), "laser");
    SetNetworkNeighbourhood(nullptr);

    NetworkResource linuxRoot;  // the Linux neighbourhood: nothing found
    EXPECT_EQ(linuxRoot.Nodes().Count(), 0);
}

TEST(NetworkResource, TypeNamesAndShortNames) {
    struct Case { std::int32_t type; const char* name; };
    const Case cases[] = {{0, "Generic"}, {2, "Server"}, {6, "Network"}, {11, "NDSContainer"},
                          {12, ""},       {-1, ""}};
    for (const auto& c : cases) {
        NetworkResource r;
        r.SetResource(Entry("\\\\SERVER", c.type));
        EXPECT_EQ(r.ResourceTypeName(), c.name) << c.type;
        EXPECT_EQ(r.ShortName(), "SERVER");
    }
    NetworkResource plain;
    plain.SetResource(Entry("plain", 3));
    EXPECT_EQ(plain.ShortName(), "plain");
}

namespace {

// Groups and their members, handed out two names per page.
class FakeAccounts final : public NetworkAccounts {
public:
    std::map<std::string, std::vector<std::string>> groups;
    std::vector<std::string> users;
    std::int32_t failWith = 0;
    int listCalls = 0;

    std::int32_t GetDCName(const std::string&, const std::string& domain, std::string& dc) override {
        if (domain != "CORP") return 2453;
        dc = std::string("\\\\PDC01\0junk", 11);
        return 0;
    }
    std::int32_t ListUsers(const std::string&, const std::string& group, std::uint32_t& resume,
                           AccountPage& page) override {
        ++listCalls;
        if (failWith) return failWith;
        const std::vector<std::string>* names = &users;
        if (!group.empty()) {
            const auto it = groups.find(group);
            if (it == groups.end()) return kNerrGroupNotFound;
            names = &it->second;
        }
        return Page(*names, resume, page);
    }
    std::int32_t ListGroups(const std::string&, const std::string& user, std::uint32_t& resume,
                            AccountPage& page) override {
        ++listCalls;
        std::vector<std::string> names;
        for (const auto& [name, members] : groups) names.push_back(name);
        if (!user.empty()) {
            std::uint32_t fromStart = 0;  // no resume for a user's groups
            return Page(names, fromStart, page);
        }
        return Page(names, resume, page);
    }
    std::int32_t AddUser(const std::string&, const std::string& user, const std::string&,
                         std::uint32_t& faulty) override {
        for (const auto& u : users)
            if (u == user) {
                faulty = 1;
                return 2224;
            }
        users.push_back(user);
        return 0;
    }
    std::int32_t DeleteUser(const std::string&, const std::string&) override { return 2221; }
    std::int32_t AddUserToGroup(const std::string&, const std::string& group,
                                const std::string& user) override {
        if (!groups.count(group)) return kNerrGroupNotFound;
        groups[group].push_back(user);
        return 0;
    }
    std::int32_t DeleteUserFromGroup(const std::string&, const std::string& group,
                                     const std::string&) override {
        return groups.count(group) ? 0 : kNerrGroupNotFound;
    }

private:
    static std::int32_t Page(const std::vector<std::string>& all, std::uint32_t& resume,
                             AccountPage& page) {
        page.total = static_cast<std::uint32_t>(all.size()) - resume;
        for (int i = 0; i < 2 && resume < all.size(); ++i) page.names.push_back(all[resume++]);
        page.read = static_cast<std::uint32_t>(page.names.size());
        return page.read == page.total ? kNerrSuccess : kNerrMoreData;
    }
};

}  // namespace

TEST(NetworkUsers, ListsWholeGroupsOverSeveralPagesAndComparesWholeNames) {
    auto fake = std::make_shared<FakeAccounts>();
    fake->groups["Staff"] = {"joanne", "Bob", "carl", "dora", "ed"};
    fake->users = {"joanne", "Bob", "carl"};
    SetNetworkAccounts(fake);

    NetworkUsers nu;
    EXPECT_EQ(nu.GetPDC("CORP"), "\\\\PDC01");
    EXPECT_EQ(nu.DomainName, "CORP");
    EXPECT_EQ(nu.GetPDC("ELSEWHERE"), "");
    EXPECT_EQ(nu.LastError(), "Error: 2453");

    EXPECT_EQ(nu.GetUserGroupList("Staff"), "joanne,Bob,carl,dora,ed");
    EXPECT_EQ(nu.NTGroup, "Staff");
    EXPECT_EQ(nu.UserInGroup("ann"), "False");  // not a substring test
    EXPECT_EQ(nu.UserInGroup("BOB"), "True");
    EXPECT_EQ(nu.UserInGroup("ed"), "True");
    EXPECT_EQ(nu.UserInGroup(""), "False");
    EXPECT_EQ(nu.GetAllUsers(), "joanne,Bob,carl");
    EXPECT_EQ(nu.GetUserCount(), 3);

    EXPECT_EQ(nu.GetUserGroupList("Nobody"), "");
    EXPECT_EQ(nu.LastError(), "There is no **GLOBAL** group 'Nobody'");

    EXPECT_EQ(nu.AddUser("", "carl", "pw"), 2224);
    EXPECT_EQ(nu.LastError(), "Error 2224 in parameter 1 when adding user carl");
    EXPECT_EQ(nu.AddUser("", "fay", "pw"), 0);
    EXPECT_EQ(nu.DelUser("", "fay"), 2221);
    EXPECT_EQ(nu.AddUserToGroup("", "Staff", "fay"), 0);
    EXPECT_EQ(nu.DelUserFromGroup("", "Ghosts", "fay"), kNerrGroupNotFound);
    EXPECT_EQ(nu.LastError(), "There is no **GLOBAL** group 'Ghosts'");
    SetNetworkAccounts(nullptr);
}

TEST(NetworkUsers, EnumerationsEndWhenCallsFailOrCannotResume) {
    auto fake = std::make_shared<FakeAccounts>();
    for (const char* g : {"a", "b", "c", "d", "e"}) fake->groups[g] = {};
    SetNetworkAccounts(fake);
    NetworkUsers nu;
    EXPECT_EQ(nu.EnumerateGroups("", ""), 0);
    fake->listCalls = 0;
    EXPECT_EQ(nu.EnumerateGroups("", "joanne"), kNerrMoreData);  // one page, then stop
    EXPECT_EQ(fake->listCalls, 1);

    fake->failWith = 53;
    std::string users = "kept,";
    EXPECT_EQ(nu.EnumerateUsers("", "", users), 53);
    EXPECT_EQ(users, "kept,");
    EXPECT_EQ(nu.LastError(), "Error 53 enumerating user 0 of 0");
    EXPECT_EQ(nu.GetUserCount(), 0);
    SetNetworkAccounts(nullptr);

    NetworkUsers onLinux;  // no accounts here: a failure status, nothing listed
    EXPECT_EQ(onLinux.GetAllUsers(), "");
    EXPECT_EQ(onLinux.LastError(), "Error 50 enumerating user 0 of 0");
    EXPECT_EQ(onLinux.GetPDC("CORP"), "");
    EXPECT_EQ(onLinux.UserInGroup("root"), "False");
    EXPECT_EQ(onLinux.AddUser("", "x", "y"), kNerrNotSupported);
}
