#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "admin/options/frm_directory.h"
#include "admin/options/frm_network_browse.h"
#include "admin/options/options_test_support.h"
#include "support/temp_folder.h"
#include "ui/ui_test_support.h"

using namespace corvane;

namespace {

class Directory : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* sub : {"a", "a/deep", "b"}) QDir().mkpath(Folder(sub));
    }
    QString Folder(const char* sub) { return QString::fromStdString(tree / sub); }
    static void Highlight(frmDirectory& picker, const QString& folder) {
        auto* list = picker.findChild<QTreeView*>("dirDirectory");
        auto* model = qobject_cast<QFileSystemModel*>(list->model());
        list->setCurrentIndex(model->index(folder));
    }
    static void Press(frmDirectory& picker, const char* button) {
        picker.findChild<QPushButton*>(button)->click();
    }

    test_support::TempFolder tree;
};

TEST_F(Directory, OkAnswersTheOpenFolderNeverTheHighlightedOne) {
    frmDirectory picker;
    picker.SetPath(Folder("a"));
    EXPECT_EQ(picker.Path(), "") << "writing Path opens the folder but answers nothing";
    EXPECT_EQ(picker.findChild<QLabel*>("Panel1")->text(), Folder("a"));
    Highlight(picker, Folder("b"));
    Press(picker, "cmdOK");
    EXPECT_EQ(picker.Path(), Folder("a"));
    EXPECT_FALSE(picker.Cancelled());
}

TEST_F(Directory, ADoubleClickOpensAndTheDriveListFollowsAWrittenPath) {
    frmDirectory picker;
    picker.SetPath(Folder("a"));
    auto* list = picker.findChild<QTreeView*>("dirDirectory");
    auto* model = qobject_cast<QFileSystemModel*>(list->model());
    emit list->doubleClicked(model->index(Folder("a/deep")));
    Press(picker, "cmdOK");
    EXPECT_EQ(picker.Path(), Folder("a/deep"));
    auto* drives = picker.findChild<QComboBox*>("drvDrive");
    ASSERT_GE(drives->currentIndex(), 0);
    EXPECT_TRUE(Folder("a").startsWith(drives->currentText()));
    EXPECT_EQ(drives->itemText(0), "/");
}

TEST_F(Directory, AMissingOrUnreadablePathLeavesTheListsWhereTheyWere) {
    frmDirectory picker;
    EXPECT_EQ(picker.OpenFolder(), QDir::cleanPath(QDir::currentPath()));
    picker.SetPath(Folder("a"));
    picker.SetPath(Folder("missing"));
    picker.SetPath(QString::fromStdString(tree.Write("file.txt", "x")));
    picker.SetPath("");
    Press(picker, "cmdOK");
    EXPECT_EQ(picker.Path(), Folder("a"));
}

TEST_F(Directory, CancelAndTheCloseBoxAnswerNothing) {
    for (const bool closeBox : {false, true}) {
        frmDirectory picker;
        picker.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
        picker.SetPath(Folder("a"));
        if (closeBox)
            test::CloseBox(&picker);
        else
            QTest::keyClick(&picker, Qt::Key_Escape);
        EXPECT_TRUE(picker.Cancelled()) << closeBox;
        EXPECT_EQ(picker.Path(), "") << closeBox;
        EXPECT_TRUE(picker.isHidden()) << closeBox;
    }
}

TEST_F(Directory, NoCancelRefusesOnlyTheUsersClose) {
    frmDirectory picker;
    picker.SetNoCancel(true);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    EXPECT_FALSE(picker.findChild<QPushButton*>("cmdCancel")->isEnabled());
    test::CloseBox(&picker);
    QTest::keyClick(&picker, Qt::Key_Escape);
    EXPECT_TRUE(picker.isVisible());
    EXPECT_FALSE(picker.Cancelled());
    // The program's own unload, at log-off or exit, goes through.
    EXPECT_TRUE(picker.close());
    EXPECT_TRUE(picker.isHidden());
    EXPECT_FALSE(picker.Cancelled());
}

TEST_F(Directory, TheNetworkChoiceAnswersTheUncPathAsGivenAndNoChoiceKeepsThePickerOpen) {
    test::FakeNetwork network;
    frmDirectory picker;
    picker.show();
    picker.SetPath(Folder("a"));
    // Cancel, the close box and OK without a share or folder each leave the picker open.
    const std::function<void(frmNetworkBrowse*)> noChoice[] = {
        [](frmNetworkBrowse* b) { b->findChild<QPushButton*>("cmdCancel")->click(); },
        [](frmNetworkBrowse* b) {
            test::CloseBox(b);
        },
        [](frmNetworkBrowse* b) {
            b->findChild<QPushButton*>("cmdOK")->setEnabled(true);
            b->findChild<QPushButton*>("cmdOK")->click();
        },
    };
    for (const auto& action : noChoice) {
        test::OnNextModal<frmNetworkBrowse>(action);
        Press(picker, "cmdNetwork");
        EXPECT_TRUE(picker.isVisible());
        EXPECT_EQ(picker.Path(), "");
        EXPECT_EQ(picker.OpenFolder(), Folder("a"));
    }
    test::OnNextModal<frmNetworkBrowse>([](frmNetworkBrowse* b) {
        for (const char* key : {"Microsoft Network", "WORKGROUP", "\\\\SRV"}) b->Node(key)->setExpanded(true);
        auto* tree = b->findChild<QTreeWidget*>("tvwNetwork");
        auto* share = b->Node("\\\\SRV\\docs");
        tree->setCurrentItem(share);
        emit tree->itemClicked(share, 0);
        b->findChild<QPushButton*>("cmdOK")->click();
    });
    Press(picker, "cmdNetwork");
    EXPECT_TRUE(picker.isHidden());
    EXPECT_EQ(picker.Path(), "\\\\SRV\\docs");
    EXPECT_FALSE(picker.Cancelled());
}

TEST_F(Directory, SizeAndPlaceComeBackAtTheNextOpening) {
    QRect saved;
    {
        frmDirectory picker;
        picker.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
        picker.resize(520, 410);
        picker.move(140, 90);
        // Once the window system has the new place and size.
        QTest::qWaitFor([&] { return picker.size() == QSize(520, 410) && picker.pos() == QPoint(140, 90); }, 5000);
        saved = picker.geometry();
    }
    frmDirectory again;
    EXPECT_EQ(again.size(), saved.size());
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(again.geometry(), saved);
}

}  // namespace
