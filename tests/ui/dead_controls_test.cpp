#include "ui/dead_controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using corvane::test::DeadControls;

// Eats every mouse press on the object it watches: the click is handled here.
class ClickTaker : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) ++taken;
        return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease;
    }
    int taken = 0;
};

template <typename T>
T* Named(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(name);
    w->resize(80, 24);
    return w;
}

TEST(DeadControlCheck, FindsTheControlsNothingAnswersAndOnlyThose) {
    struct Row {
        const char* what;
        std::function<void(QMainWindow&)> build;
        std::vector<std::string> dead;
    };
    const std::vector<Row> rows = {
        {"a button nobody connected", [](QMainWindow& w) { Named<QPushButton>(&w, "cmdCancel"); }, {"w/cmdCancel"}},
        {"a clicked handler",
         [](QMainWindow& w) { QObject::connect(Named<QPushButton>(&w, "cmdOK"), &QPushButton::clicked, &w, [] {}); },
         {}},
        {"a disabled button is still walked: it may be enabled later",
         [](QMainWindow& w) { Named<QPushButton>(&w, "cmdOff")->setEnabled(false); }, {"w/cmdOff"}},
        {"a default button answers Enter through clicked only",
         [](QMainWindow& w) { Named<QPushButton>(&w, "cmdDefault")->setDefault(true); }, {"w/cmdDefault"}},
        {"a check box with toggled, one without",
         [](QMainWindow& w) {
             QObject::connect(Named<QCheckBox>(&w, "chkOn"), &QCheckBox::toggled, &w, [] {});
             Named<QCheckBox>(&w, "chkRead");
         },
         {"w/chkRead"}},
        {"a button group that answers for its buttons, one that does not",
         [](QMainWindow& w) {
             auto* answered = new QButtonGroup(&w);
             answered->addButton(Named<QPushButton>(&w, "cmdA"));
             QObject::connect(answered, &QButtonGroup::idClicked, &w, [](int) {});
             auto* silent = new QButtonGroup(&w);
             silent->addButton(Named<QPushButton>(&w, "cmdB"));
         },
         {"w/cmdB"}},
        {"a button box: accepted answers OK, nothing answers Cancel",
         [](QMainWindow& w) {
             auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &w);
             box->button(QDialogButtonBox::Ok)->setObjectName("cmdBoxOK");
             box->button(QDialogButtonBox::Cancel)->setObjectName("cmdBoxCancel");
             QObject::connect(box, &QDialogButtonBox::accepted, &w, [] {});
         },
         {"w/cmdBoxCancel"}},
        {"a click an event filter takes",
         [](QMainWindow& w) { Named<QPushButton>(&w, "cmdFiltered")->installEventFilter(new ClickTaker(&w)); }, {}},
        {"menu items: a handler living on the menu, the menu's triggered, none",
         [](QMainWindow& w) {
             QMenu* file = w.menuBar()->addMenu("File");
             QAction* open = file->addAction("Open");
             QObject::connect(open, &QAction::triggered, file, [] {});
             file->addSeparator();
             file->addAction("Quit")->setObjectName("mnuQuit");
             auto* popUp = new QMenu(&w);
             popUp->addAction("Details");
             QObject::connect(popUp, &QMenu::triggered, &w, [](QAction*) {});
         },
         {"w/mnuQuit"}},
        {"tool-bar actions: one answered, one not",
         [](QMainWindow& w) {
             QToolBar* bar = w.addToolBar("tools");
             QObject::connect(bar->addAction("Refresh"), &QAction::triggered, &w, [] {});
             bar->addAction("Stop")->setObjectName("tbStop");
         },
         {"w/tbStop"}},
    };
    for (const Row& row : rows) {
        QMainWindow window;
        window.setObjectName("w");
        row.build(window);
        window.show();
        EXPECT_EQ(DeadControls(&window), row.dead) << row.what;
    }
}

}  // namespace
