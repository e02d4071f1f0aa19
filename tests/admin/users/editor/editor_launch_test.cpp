#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "admin/users/editor/frm_user_details.h"
#include "admin/users/editor/user_windows.h"
#include "editor_fixture.h"
#include "session/launchers/u_interface.h"
#include "ui/ui_test_support.h"

using namespace corvane;

namespace {

class EditorLaunch : public test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        RegisterUserEditorWindows();
        AddUser("admin", 0);
        AddUser("clerk");
        AddWebsite("http://intranet.example/");
        AddWebsite("http://www.example.com/");
    }
};

TEST_F(EditorLaunch, TheAdministratorRenamesASecondUserAndAssignsAWebsite) {
    bool opened = false;
    test::OnNextModal<frmUserDetails>([&](frmUserDetails* editor) {
        opened = true;
        // Wait for the first activation to fill the window.
        for (int i = 0; i < 200 && editor->FormLoad(); ++i) QApplication::processEvents();
        editor->findChild<QCheckBox*>("chkEnableInternetAccess")->click();
        auto* defined = editor->findChild<QTreeWidget*>("lsvDefinedWebsites");
        defined->setCurrentItem(defined->topLevelItem(1));
        editor->findChild<QPushButton*>("cmdAddWebsite")->click();
        editor->findChild<QLineEdit*>("txtUserLogin")->setText("cashier");
        editor->findChild<QPushButton*>("cmdOK")->click();
    });
    UInterface().EditUser("clerk");
    ASSERT_TRUE(opened);
    User renamed;
    EXPECT_TRUE(renamed.Load("cashier"));
    EXPECT_FALSE(User().Load("clerk"));
    EXPECT_EQ(Links<UserWebsite>(), (std::vector<std::pair<std::string, std::string>>{
                                        {"cashier", "http://www.example.com/"}}));
}

}  // namespace
