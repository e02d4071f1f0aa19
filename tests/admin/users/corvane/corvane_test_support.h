#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <memory>

#include "admin/users/corvane/frm_corvane.h"
#include "admin/users/corvane/user_admin_openers.h"
#include "support/user_admin_test.h"
#include "logs/activity_log.h"
#include "support/activity_lines.h"

namespace corvane::test {

// The user window over a fresh data folder, with activity logging on and
// openers that record what was asked of them.
class UserWindowTest : public UserAdminTest {
protected:
    void SetUp() override {
        UserAdminTest::SetUp();
        gEnableActivityLogging = true;
        UserAdminOpeners openers;
        openers.editUser = [this](QWidget*, const std::string& login) {
            edited.push_back(login);
            return editor ? editor(login) : UserEditorResult{};
        };
        openers.setPassword = [this](QWidget*, const std::string& login) { passwordsSet.push_back(login); };
        openers.showUserLog = [this] { launched.push_back("ShowUserLog"); };
        openers.showWebsiteLog = [this] { launched.push_back("ShowWebsiteLog"); };
        openers.showWebsites = [this] { launched.push_back("ShowWebsites"); };
        openers.showPrograms = [this] { launched.push_back("ShowPrograms"); };
        previous_ = SetUserAdminOpeners(openers);
    }
    void TearDown() override {
        window_.reset();
        SetUserAdminOpeners(previous_);
        gEnableActivityLogging = false;
        UserAdminTest::TearDown();
    }

    frmCorvane& Open() {
        window_ = std::make_unique<frmCorvane>();
        window_->Activate();
        return *window_;
    }
    template <typename T>
    T* Find(const char* name) const {
        T* found = window_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Click(const char* button) const { Find<QPushButton>(button)->click(); }
    QStringList Logins() const {
        QStringList out;
        for (int i = 0; i < window_->ListCount(); ++i) out << window_->Rows()->Row(i).cells.value(0);
        return out;
    }
    static std::vector<std::string> ActivityLines() { return test_support::ActivityLines(); }

    std::function<UserEditorResult(const std::string&)> editor;
    std::vector<std::string> edited, passwordsSet, launched;
    std::unique_ptr<frmCorvane> window_;

private:
    UserAdminOpeners previous_;
};

}  // namespace corvane::test
