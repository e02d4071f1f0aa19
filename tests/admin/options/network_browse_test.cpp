#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "admin/options/frm_network_browse.h"
#include "admin/options/options_test_support.h"

using namespace corvane;

namespace {

class NetworkBrowse : public ::testing::Test {
protected:
    test::FakeNetwork network;
    frmNetworkBrowse window;

    QTreeWidget* Tree() { return window.findChild<QTreeWidget*>("tvwNetwork"); }
    QTreeWidgetItem* Node(const char* key) { return window.Node(QString::fromLatin1(key)); }
    QString Status() { return window.findChild<QLabel*>("Panel1")->text(); }
    bool OkEnabled() { return window.findChild<QPushButton*>("cmdOK")->isEnabled(); }
    void Expand(const char* key) {
        auto* node = Node(key);
        ASSERT_NE(node, nullptr) << key;
        node->setExpanded(true);
    }
    void Click(const char* key) {
        auto* node = Node(key);
        ASSERT_NE(node, nullptr) << key;
        Tree()->setCurrentItem(node);
        emit Tree()->itemClicked(node, 0);
    }
    QStringList Children(const char* key) {
        QStringList texts;
        auto* node = Node(key);
        for (int i = 0; node && i < node->childCount(); ++i) texts << node->child(i)->text(0);
        return texts;
    }
};

TEST_F(NetworkBrowse, EachLevelListsInEnumerationOrderAndAnUntypedItemIsLeftOut) {
    EXPECT_EQ(Children("_ROOT"), QStringList({"Microsoft Network"}));
    EXPECT_EQ(Status(), "1 Item");
    Expand("Microsoft Network");
    Expand("WORKGROUP");
    Expand("\\\\SRV");
    EXPECT_EQ(Children("\\\\SRV"), QStringList({"docs", "C$", "locked"}));
    EXPECT_EQ(Status(), "3 Items");
    EXPECT_EQ(Children("\\\\SRV\\docs"), QStringList({"FAKE"}));
    EXPECT_EQ(Node("\\\\srv\\DOCS"), Node("\\\\SRV\\docs")) << "keys are found whatever their case";
    Expand("\\\\SRV\\docs");
    EXPECT_EQ(Children("\\\\SRV\\docs"), QStringList({"readme.txt", "users.sec", "a", "z"}));
    Expand("\\\\SRV\\docs\\a");
    EXPECT_EQ(Children("\\\\SRV\\docs\\a"), QStringList({"inner.txt", "b"}));
    EXPECT_EQ(Node("\\\\SRV\\docs\\a\\b_FAKE")->text(0), "FAKE");
}

TEST_F(NetworkBrowse, AShareThatCannotBeOpenedEndsWithoutChildren) {
    Expand("Microsoft Network");
    Expand("WORKGROUP");
    Expand("\\\\SRV");
    Expand("\\\\SRV\\locked");
    EXPECT_TRUE(Children("\\\\SRV\\locked").isEmpty());
    EXPECT_EQ(Status(), "0 Items");
}

TEST_F(NetworkBrowse, OkIsOfferedOnlyForSharesAndFoldersAndTheAnswerIsTheKey) {
    Expand("Microsoft Network");
    Expand("WORKGROUP");
    Expand("\\\\SRV");
    Expand("\\\\SRV\\docs");
    Expand("\\\\SRV\\docs\\a");
    const struct {
        const char* key;
        bool ok;
        const char* status;
    } rows[] = {
        {"_ROOT", false, "1 Item"},
        {"WORKGROUP", false, "1 Item"},
        {"\\\\SRV", false, "3 Items"},
        {"\\\\SRV\\docs", true, "4 Items"},
        {"\\\\SRV\\docs\\readme.txt", false, "0 Items"},
        {"\\\\SRV\\docs\\z", true, "1 Item"},
        {"\\\\SRV\\docs\\a\\b", true, "1 Item"},
    };
    for (const auto& row : rows) {
        Click(row.key);
        EXPECT_EQ(OkEnabled(), row.ok) << row.key;
        EXPECT_EQ(Status(), row.status) << row.key;
    }
    window.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_EQ(window.Path(), "\\\\SRV\\docs\\a\\b");
    EXPECT_FALSE(window.Cancelled());
    EXPECT_EQ(window.Computer(), "SRV") << "the last server clicked, not the share after it";
}

TEST_F(NetworkBrowse, OkOnAnotherKindHidesWithoutAnAnswerAndCancelSaysSo) {
    window.show();
    Click("Microsoft Network");
    window.findChild<QPushButton*>("cmdOK")->setEnabled(true);
    window.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.Path(), "");
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.Cancelled());
    EXPECT_TRUE(window.isHidden());
}

TEST_F(NetworkBrowse, EachLevelIsEnumeratedOnceHoweverOftenItIsExpanded) {
    Expand("Microsoft Network");
    Expand("WORKGROUP");
    Expand("\\\\SRV");
    Expand("\\\\SRV\\docs");
    for (const char* key : {"\\\\SRV", "\\\\SRV\\docs", "WORKGROUP"}) {
        Node(key)->setExpanded(false);
        Node(key)->setExpanded(true);
    }
    for (const char* parent : {"", "Microsoft Network", "WORKGROUP", "\\\\SRV"})
        EXPECT_EQ(network.neighbourhood->opened[parent], 1) << parent;
    EXPECT_EQ(network.shares->listed["\\\\SRV\\docs"], 1);
    EXPECT_EQ(Children("\\\\SRV"), QStringList({"docs", "C$", "locked"}));
}

TEST(NetworkBrowseWithoutNetwork, TheRootStandsAlone) {
    SetNetworkNeighbourhood(std::make_shared<test::FakeNeighbourhood>());
    frmNetworkBrowse window;
    auto* root = window.Node("_ROOT");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), "Entire Network");
    EXPECT_EQ(root->childCount(), 0);
    EXPECT_EQ(window.findChild<QLabel*>("Panel1")->text(), "0 Items");
    SetNetworkNeighbourhood(nullptr);
}

}  // namespace
