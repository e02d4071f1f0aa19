#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <stdexcept>
#include <vector>

#include "admin/security/frm_advanced_security.h"
#include "admin/security/frm_lockdown_warning.h"
#include "admin/security/frm_security.h"
#include "admin/security/security_windows_test_support.h"
#include "lockdown/restrict_run.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/settings/settings_store.h"
#include "ui/helpers/file_dialog.h"
#include "ui/ui_test_support.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

template <typename T>
T* Find(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Shows the window and waits for its first activation, where the window has one of its own.
template <typename Window>
void Open(Window& window) {
    window.show();
    if constexpr (requires { window.FormLoad(); })
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.FormLoad(); }, 10000));
}

QStringList Texts(QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(0);
    return texts;
}

using SecurityWindowsTest = SecurityWindowTest;

TEST_F(SecurityWindowsTest, TheSecurityWindowShowsTheStoredLevelAndMarksAMoveDirty) {
    gSecurityLevel = 5;
    auto box = ScriptedMsgBox::Install();
    frmSecurity window(Services(), nullptr);
    Open(window);
    auto* slider = Find<QSlider>(window, "sldSecurity");
    auto* apply = Find<QPushButton>(window, "cmdApply");
    auto* notice = Find<QLabel>(window, "lblLockdownIsDirty");
    EXPECT_EQ(window.windowTitle().toStdString(), "Security - " + GetLocalComputerName());
    EXPECT_EQ(Find<QTabWidget>(window, "tabOptions")->tabText(0), "General");
    EXPECT_EQ(Find<QPushButton>(window, "cmdReset")->text(), "Reset");
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(Find<QLabel>(window, "lblSecurityLevel")->text(), "Maximum Security");
    EXPECT_EQ(slider->toolTip(), "Maximum Security");
    EXPECT_EQ(box->Count(), 0);
    EXPECT_FALSE(window.IsDirty());
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_TRUE(notice->isHidden());

    slider->setValue(3);  // as a release of the slider does
    EXPECT_EQ(Find<QLabel>(window, "lblSecurityLevel")->text(), "Medium Security");
    EXPECT_TRUE(window.IsDirty());
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_FALSE(notice->isHidden());
    apply->click();
    EXPECT_EQ(gSecurityLevel, 2);
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_TRUE(window.isVisible());

    Find<QPushButton>(window, "cmdCancel")->click();
    EXPECT_TRUE(window.Cancelled());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SecurityWindowsTest, TheWarningsBoxSavesAtOnceAndItsCancelCancels) {
    frmLockdownWarning warning;
    Open(warning);
    EXPECT_EQ(warning.windowTitle(), QString::fromStdString(GetMessageText(240)));
    EXPECT_EQ(Find<QLabel>(warning, "lblWarning")->text(), QString::fromStdString(GetMessageText(481)));
    EXPECT_TRUE(Find<QPushButton>(warning, "cmdOK")->isDefault());
    Find<QCheckBox>(warning, "chkInFutureDoNotShowThisDialog")->click();
    EXPECT_TRUE(gDoNotShowLockdownWarningAgain);
    EXPECT_EQ(GetMachineSetting("Global", "Do Not Show Lockdown Warning Again", "missing"), "True");
    Find<QPushButton>(warning, "cmdCancel")->click();
    EXPECT_TRUE(warning.Cancelled);
}

TEST_F(SecurityWindowsTest, TheAdvancedWindowSavesUnderTheHourglassAndPutsItBackWhenASaveFails) {
    auto box = ScriptedMsgBox::Install();
    SecurityWindowServices services = Services();
    std::vector<bool> hourglassWhileSaving;
    bool failSave = false;
    services.saveGlobalSettings = [&] {
        const QCursor* pointer = QApplication::overrideCursor();
        hourglassWhileSaving.push_back(pointer && pointer->shape() == Qt::WaitCursor);
        if (failSave) throw std::runtime_error("the settings store is gone");
    };
    frmAdvancedSecurity window(services, MakeLinuxDriveKinds(), nullptr);
    Open(window);
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    Find<QCheckBox>(window, "chkShowCorvaneAtNextLogin")->click();
    Find<QPushButton>(window, "cmdApply")->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the default pointer is back after Apply";
    EXPECT_FALSE(window.IsDirty());

    failSave = true;
    Find<QCheckBox>(window, "chkShowCorvaneAtNextLogin")->click();
    Find<QPushButton>(window, "cmdOK")->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "and after a save that failed";
    EXPECT_EQ(hourglassWhileSaving, (std::vector<bool>{true, true}));
}

TEST_F(SecurityWindowsTest, TheAdvancedWindowListsItsRowsAndTicksFromTheStore) {
    store->values[{std::string("HKCU:") + kExplorerPolicyKey, "NoDrives"}] = "5";
    store->values[{std::string("HKCU:") + kExplorerPolicyKey, "NoDesktop"}] = "1";
    auto box = ScriptedMsgBox::Install();
    frmAdvancedSecurity window(Services(), MakeLinuxDriveKinds(), nullptr);
    Open(window);
    auto* lockdown = Find<QTreeWidget>(window, "lsvLockdown");
    auto* drives = Find<QTreeWidget>(window, "lsvHideDrives");
    auto* tabs = Find<QTabWidget>(window, "tabOptions");
    EXPECT_EQ(window.windowTitle().toStdString(), "Advanced Security - " + GetLocalComputerName());
    EXPECT_EQ((QStringList{tabs->tabText(0), tabs->tabText(1), tabs->tabText(2), tabs->tabText(3)}),
              (QStringList{"Lockdown", "Restrict Run", "Hide Drives", "Settings"}));
    ASSERT_EQ(lockdown->topLevelItemCount(), 19);
    EXPECT_EQ(lockdown->topLevelItem(0)->text(0), "No Close");
    EXPECT_EQ(lockdown->topLevelItem(1)->text(0), "No Desktop - [Not Recommended]");
    EXPECT_EQ(lockdown->topLevelItem(1)->data(0, Qt::UserRole).toString(), "L5");
    EXPECT_EQ(lockdown->topLevelItem(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(lockdown->headerItem()->text(0), "Options");
    ASSERT_EQ(drives->topLevelItemCount(), 26);
    EXPECT_EQ(drives->topLevelItem(0)->text(0), " A:\\");
    EXPECT_EQ(drives->topLevelItem(25)->text(0), " Z:\\");
    QStringList ticked;
    for (int i = 0; i < 26; ++i)
        if (drives->topLevelItem(i)->checkState(0) == Qt::Checked) ticked << drives->topLevelItem(i)->text(0);
    EXPECT_EQ(ticked, (QStringList{" A:\\", " C:\\"}));
    EXPECT_FALSE(Find<QCheckBox>(window, "chkAlwaysShowSecureConsole")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(window, "chkCannotCancelSecureConsole")->isChecked());
    EXPECT_FALSE(window.IsDirty());
    EXPECT_FALSE(Find<QPushButton>(window, "cmdApply")->isEnabled());
    EXPECT_EQ(box->Count(), 0);
}

TEST_F(SecurityWindowsTest, OnAKdeOnlyDesktopTheRowsWithoutEffectAreShownDisabledAndKeepTheirTicks) {
    store->values[{std::string("HKCU:") + kExplorerPolicyKey, "NoDrives"}] = "5";
    store->values[{std::string("HKCU:") + kExplorerPolicyKey, "NoFind"}] = "1";
    FakeDesktopMachine kde = KdeOnlyMachine();
    SetDesktopPolicy(kde.Policy());
    auto box = ScriptedMsgBox::Install();
    frmAdvancedSecurity window(Services(), MakeLinuxDriveKinds(), nullptr);
    Open(window);
    auto* lockdown = Find<QTreeWidget>(window, "lsvLockdown");
    auto* drives = Find<QTreeWidget>(window, "lsvHideDrives");
    QStringList enabled;
    for (int i = 0; i < lockdown->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lockdown->topLevelItem(i);
        const bool on = item->flags().testFlag(Qt::ItemIsEnabled);
        if (on) enabled << item->text(0);
        EXPECT_EQ(item->toolTip(0).isEmpty(), on) << item->text(0).toStdString();
    }
    EXPECT_EQ(enabled, (QStringList{"No Folder Options", "No Lock Workstation", "No Log Off", "No Recent Docs Menu",
                                    "No Run", "No Set Taskbar", "No View Context Menu"}));
    for (int i = 0; i < drives->topLevelItemCount(); ++i)
        EXPECT_FALSE(drives->topLevelItem(i)->flags().testFlag(Qt::ItemIsEnabled));
    EXPECT_FALSE(Find<QPushButton>(window, "cmdSelectAllHideDrives")->isEnabled());
    // Unselect All leaves the stored ticks of the rows that do nothing here.
    QTest::mouseClick(Find<QPushButton>(window, "cmdUnselectAll"), Qt::LeftButton);
    EXPECT_EQ(lockdown->topLevelItem(LockdownRowIndex(kNoFind))->checkState(0), Qt::Checked);
    EXPECT_EQ(drives->topLevelItem(0)->checkState(0), Qt::Checked);
}

TEST_F(SecurityWindowsTest, TickingARowAsksThroughTheWindowAndNoUnticksIt) {
    auto box = ScriptedMsgBox::Install();
    box->Answer(kMsgNo);
    frmAdvancedSecurity window(Services(), MakeLinuxDriveKinds(), nullptr);
    Open(window);
    auto* lockdown = Find<QTreeWidget>(window, "lsvLockdown");
    lockdown->topLevelItem(1)->setCheckState(0, Qt::Checked);  // No Desktop
    // The question comes once the tick's own handling has returned.
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->Count() > 0; }, 10000));
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(480, 0, std::string("No Desktop")));
    EXPECT_EQ(lockdown->topLevelItem(1)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(window.IsDirty());
    EXPECT_TRUE(Find<QPushButton>(window, "cmdApply")->isEnabled());
    EXPECT_TRUE(Find<QLabel>(window, "imgLockdownIsDirty")->isVisibleTo(&window));
}

TEST_F(SecurityWindowsTest, TheRestrictRunTabAddsThroughTheChooserAndDeletesTheSelection) {
    auto box = ScriptedMsgBox::Install();
    box->Answer(kMsgYes);
    std::optional<QString> answer = QString("/usr/bin/gedit");
    FileDialogRequest asked;
    SetFileDialog([&](const FileDialogRequest& request, QWidget*) {
        asked = request;
        return answer;
    });
    frmAdvancedSecurity window(Services(), MakeLinuxDriveKinds(), nullptr);
    Open(window);
    auto* list = Find<QTreeWidget>(window, "lsvItems");
    auto* add = Find<QPushButton>(window, "cmdAdd");
    auto* del = Find<QPushButton>(window, "cmdDelete");
    auto* clear = Find<QPushButton>(window, "cmdClear");
    EXPECT_FALSE(add->isEnabled() || del->isEnabled() || clear->isEnabled() || list->isEnabled());
    Find<QCheckBox>(window, "chkRestrictRun")->click();
    EXPECT_TRUE(add->isEnabled() && list->isEnabled());
    EXPECT_FALSE(del->isEnabled());

    add->click();
    EXPECT_EQ(asked.filters, (QStringList{"Executable Files (*.exe)", "All Files (*)"}));
    answer.reset();
    add->click();
    EXPECT_EQ(Texts(list), QStringList{"gedit"});
    EXPECT_EQ(window.ListCount(), 1);
    EXPECT_TRUE(del->isEnabled() && clear->isEnabled());

    del->click();  // nothing selected: no question
    EXPECT_EQ(box->Count(), 0);
    list->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(window.ItemsSelectedCount(), 1);
    del->click();
    EXPECT_EQ(box->Last().prompt, GetMessageText(421));
    EXPECT_EQ(window.ListCount(), 0);
    EXPECT_TRUE(RestrictRunNames().empty());
    SetFileDialog({});
}

}  // namespace
}  // namespace corvane::testing
