// Renders the new-user wizard (each step, both modes), the user window (both
// tabs, with accounts and without) and a catalogue-style list window into PNG
// files: user_admin_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>

#include "admin/users/corvane/frm_corvane.h"
#include "admin/users/wizard/frm_wizard.h"
#include "catalogue/website.h"
#include "logs/current_user.h"
#include "platform/core/program_globals.h"
#include "recordstore/user.h"
#include "ui/list_window/list_window.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

void AddAccount(const char* login, int level, bool disabled = false, bool locked = false, int failedLogins = 0) {
    User u;
    u.SetLogin(login);
    u.SetAccessLevel(level);
    u.SetIsAdministrator(Flag(level == 0));
    u.SetDisabled(Flag(disabled));
    u.SetLocked(Flag(locked));
    u.SetFailedLogins(failedLogins);
    if (level == 3) u.SetOtherAccess("Auditors");
    u.AddNew();
}

// A list window over the website catalogue, as the catalogue windows show it.
class WebsiteList : public ListWindow {
public:
    WebsiteList() : ListWindow(QStringLiteral("frmWebsites"), Features{}) { resize(640, 360); }

protected:
    std::unique_ptr<RecordTable> NewTable() const override { return std::make_unique<Website>(); }
    ListRow RowFor(const RecordTable& record) const override {
        const auto& w = static_cast<const Website&>(record);
        return {{QString::fromStdString(w.URL()), QString::fromStdString(w.Description())},
                QString::number(w.WebsiteID()), 0, false};
    }
    void ApplyLanguage() override {
        setWindowTitle(QStringLiteral("Websites"));
        cmdAdd_->setText(QStringLiteral("Add"));
        cmdEdit_->setText(QStringLiteral("Edit"));
        cmdDelete_->setText(QStringLiteral("Delete"));
        cmdCancel_->setText(QStringLiteral("Cancel"));
    }
};

void ShootWizard(test::ScreenshotWriter& shots, bool primary) {
    frmWizard wizard;
    wizard.SetPrimaryUser(primary);
    wizard.SetNoCancel(primary);
    wizard.show();
    wizard.Activate();
    const QString mode = primary ? QStringLiteral("primary") : QStringLiteral("new");
    wizard.findChild<QLineEdit*>("txtUserLogin")->setText(primary ? "admin" : "frank");
    shots.Save(wizard, QStringLiteral("wizard-%1-step0.png").arg(mode));
    wizard.findChild<QPushButton*>("cmdNav3")->click();
    wizard.findChild<QLineEdit*>("txtNewPassword")->setText("secret");
    wizard.findChild<QLineEdit*>("txtConfirmPassword")->setText("secret");
    shots.Save(wizard, QStringLiteral("wizard-%1-step1.png").arg(mode));
    wizard.findChild<QPushButton*>("cmdNav3")->click();
    shots.Save(wizard, QStringLiteral("wizard-%1-step2.png").arg(mode));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    const QDir data = test::ScratchFolder("user-admin");
    if (!data.exists()) {
        std::fprintf(stderr, "cannot create a data folder\n");
        return 1;
    }
    gDataPath = data.path().toStdString();

    {
        frmCorvane empty;
        empty.Activate();
        shots.Save(empty, QStringLiteral("corvane-empty.png"));
    }
    ShootWizard(shots, true);
    AddAccount("admin", 0);
    AddAccount("bob", 1);
    AddAccount("carol", 2, false, true, 3);
    AddAccount("dave", 1, true, false, 10);
    AddAccount("erin", 3, true, true, 9);
    gAuthenticatedUser = "admin";
    ShootWizard(shots, false);
    {
        frmCorvane window;
        window.Activate();
        shots.Save(window, QStringLiteral("corvane-users.png"));
        window.findChild<QTabWidget*>("SSTab")->setCurrentIndex(1);
        shots.Save(window, QStringLiteral("corvane-advanced.png"));
    }
    {
        for (const char* url : {"http://example.com", "http://intranet.local", "https://news.example.org"}) {
            Website w;
            w.SetURL(url);
            w.SetDescription("A site the users may visit");
            w.AddNew();
        }
        WebsiteList list;
        list.Activate();
        shots.Save(list, QStringLiteral("list-window.png"));
    }
    return shots.Finish();
}
