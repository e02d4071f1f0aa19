#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <algorithm>

#include "platform/system/workstation_forms.h"
#include "ui/helpers/top_level_form_registry.h"

using namespace corvane;

namespace {

class StubbornForm : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

TEST(FormRegistry, LoadedWindowsAreTheProgramsTopLevelForms) {
    ui::InstallTopLevelFormRegistry();

    QWidget main;
    main.setObjectName("frmMain");  // loaded although never shown
    auto* browser1 = new QWidget;
    browser1->setObjectName("frmWebBrowser");
    browser1->setAttribute(Qt::WA_DeleteOnClose);
    browser1->show();
    auto* browser2 = new QWidget;
    browser2->setObjectName("frmWebBrowser");
    browser2->setAttribute(Qt::WA_DeleteOnClose);
    StubbornForm stubborn;
    stubborn.setObjectName("frmWizard");
    stubborn.show();
    QMenu menu;  // not a form of the program
    QWidget child(&main);
    child.setObjectName("frmInner");  // not a window

    const auto names = ui::TopLevelFormRegistry::LoadedFormNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "frmWebBrowser"), 2);
    EXPECT_TRUE(IsFormLoaded("FRMMAIN"));
    EXPECT_TRUE(IsFormLoaded("frmwebbrowser"));
    EXPECT_FALSE(IsFormLoaded("frmInner"));

    QPointer<QWidget> guard1(browser1), guard2(browser2);
    UnloadAllForms(true);
    EXPECT_FALSE(guard1.isNull());

    UnloadAllForms(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard1.isNull());
    EXPECT_TRUE(guard2.isNull());
    EXPECT_FALSE(IsFormLoaded("frmWebBrowser"));
    EXPECT_TRUE(IsFormLoaded("frmMain"));
    EXPECT_TRUE(IsFormLoaded("frmWizard"));  // it refused to close
    SetFormSource({});
}
