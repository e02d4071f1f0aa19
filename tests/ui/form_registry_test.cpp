#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <algorithm>

#include "ui/top_level_form_registry.h"

using namespace corvane;

namespace {

class StubbornForm : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::count(names.begin(), names.end(), name) > 0;
}

}  // namespace

TEST(FormRegistry, ListsAndUnloadsTheProgramsWindows) {
    ui::InstallTopLevelFormRegistry();
    auto registry = CurrentFormRegistry();
    ASSERT_NE(registry, nullptr);

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

    auto names = registry->LoadedFormNames();
    EXPECT_TRUE(Has(names, "frmMain"));
    EXPECT_EQ(std::count(names.begin(), names.end(), "frmWebBrowser"), 2);
    EXPECT_FALSE(Has(names, "frmInner"));

    QPointer<QWidget> guard1(browser1), guard2(browser2);
    registry->Unload("frmWebBrowser");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard1.isNull());
    EXPECT_TRUE(guard2.isNull());

    registry->Unload("frmWizard");
    registry->Unload("frmNothing");
    names = registry->LoadedFormNames();
    EXPECT_TRUE(Has(names, "frmWizard"));  // it refused to close
    EXPECT_FALSE(Has(names, "frmWebBrowser"));
    SetFormRegistry(nullptr);
}
