// The page's own ways to a file over the real engine: its upload chooser, its file pickers,
// and the print dialog's chooser when the session ends under it. Skipped where the engine
// cannot start (no display, no engine process).

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

#include "browser/window/engine_browser_control.h"
#include "browser/window/engine_sandbox.h"
#include "engine_test_main.h"
#include "browser/window/frm_web_browser.h"
#include "browser_test_support.h"
#include "engine_waits.h"
#include "loopback_server.h"
#include "platform/system/workstation_forms.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/top_level_form_registry.h"

namespace corvane::testing {
namespace {

// chooseFiles is protected: named through a subclass, the page's own answer is asked.
struct ChooserPeek : QWebEnginePage {
    static QStringList Ask(QWebEnginePage* page, FileSelectionMode mode) {
        return (page->*&ChooserPeek::chooseFiles)(mode, {QStringLiteral("x.txt")}, {});
    }
};

const QByteArray kPickerPage =
    "<html><head><title>Pickers</title></head><body style='margin:0'>"
    "<input type=file id=f style='position:absolute;left:0;top:0;width:100%;height:100%'>"
    "</body></html>";

class EnginePickerTest : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        server_.pages["/pickers"] = kPickerPage;
        page_ = server_.Address("/pickers");
        AddWebsites({page_.c_str()});
        AddBrowserUser({.login = "ann"});
        Assign("ann", {page_.c_str()});
        LogIn("ann");
    }
    void TearDown() override {
        SetFileDialog(nullptr);
        delete window_.data();
        BrowserTest::TearDown();
    }

    // The window as the launchers open it, once the program recorded the picker page as
    // accepted; false when the engine cannot start.
    bool Open() {
        window_ = new frmWebBrowser;
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->setObjectName(QStringLiteral("frmWebBrowser"));
        window_->Controller().StartingAddress = page_;
        window_->show();
        return WaitFor([&] { return AcceptedRecords(page_) > 0; }, 30000);
    }
    EngineBrowserControl& Control() { return static_cast<EngineBrowserControl&>(window_->Control()); }
    QWebEnginePage* Page() { return Control().View()->page(); }
    QVariant Run(const QString& script) {
        std::optional<QVariant> result;
        Page()->runJavaScript(script, [&](const QVariant& v) { result = v; });
        WaitFor([&] { return result.has_value(); }, 10000);
        return result.value_or(QVariant());
    }
    // A real click on the page's file input, which covers the page, until the engine answers it
    // (asks for a chooser): a click that comes before the page is drawn reaches nothing, so it
    // is made again when no answer came within a while.
    ::testing::AssertionResult ClickInputUntil(const std::function<bool()>& answered) {
        QWidget* target = Control().View()->focusProxy() ? Control().View()->focusProxy() : Control().View();
        for (int click = 0; click < 10; ++click) {
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(20, 20));
            if (WaitFor(answered, 3000)) return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "the engine answered none of 10 clicks on the input";
    }

    LoopbackServer server_;
    std::string page_;
    QPointer<frmWebBrowser> window_;
};

TEST_F(EnginePickerTest, AnUploadGetsNothingOfCorvanesAndThePagePickersAreGone) {
    auto box = ScriptedMsgBox::Install();
    if (!Open()) GTEST_SKIP() << "the web engine did not start here";

    // The page's own pickers do not exist in this engine.
    EXPECT_EQ(Run(QStringLiteral("[typeof showSaveFilePicker, typeof showOpenFilePicker, typeof showDirectoryPicker]"
                                 ".join()")).toString(),
              QStringLiteral("undefined,undefined,undefined"));
    // A save or folder request that still reached the page's chooser gets nothing, no chooser asked.
    int asked = 0;
    QString answer = QString::fromStdString(UsersPath());
    FileDialogRequest::Mode mode = FileDialogRequest::Mode::Save;
    SetFileDialog([&](const FileDialogRequest& request, QWidget*) {
        ++asked;
        mode = request.mode;
        return std::optional<QString>(answer);
    });
    for (const auto picker : {QWebEnginePage::FileSelectSave, QWebEnginePage::FileSelectUploadFolder})
        EXPECT_TRUE(ChooserPeek::Ask(Page(), picker).isEmpty()) << picker;
    EXPECT_EQ(asked, 0);

    // An upload of one of Corvane's files, also through a link, is refused with a message.
    const std::string link = OutsidePath("innocent.txt");
    ASSERT_EQ(std::system(("ln -s '" + UsersPath() + "' '" + link + "'").c_str()), 0);
    const std::string plain = OutsidePath("homework.txt");
    {
        QFile file(QString::fromStdString(plain));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("essay");
    }
    const std::string twoNames = OutsidePath("second-name.txt");
    ASSERT_EQ(std::system(("ln '" + plain + "' '" + twoNames + "'").c_str()), 0);
    for (const std::string& path : {UsersPath(), link, twoNames}) {
        answer = QString::fromStdString(path);
        const int boxes = box->Count();
        const int before = asked;
        ASSERT_TRUE(ClickInputUntil([&] { return asked > before; })) << path;
        ASSERT_TRUE(WaitFor([&] { return box->Count() > boxes; }, 30000)) << path;
        EXPECT_EQ(mode, FileDialogRequest::Mode::Open);
        EXPECT_NE(box->Last().prompt.find("Nothing was handed to the page"), std::string::npos);
        EXPECT_EQ(Run(QStringLiteral("document.getElementById('f').files.length")).toInt(), 0) << path;
    }
    // A file of the pupil's own goes.
    ASSERT_EQ(std::remove(twoNames.c_str()), 0);
    answer = QString::fromStdString(plain);
    const int before = asked;
    ASSERT_TRUE(ClickInputUntil([&] { return asked > before; }));
    EXPECT_TRUE(WaitFor([&] { return Run(QStringLiteral("document.getElementById('f').files.length")).toInt() == 1; },
                        30000));
    EXPECT_EQ(Run(QStringLiteral("document.getElementById('f').files[0].name")).toString(),
              QStringLiteral("homework.txt"));

    // Without a stand-in, the engine's upload shows Corvane's own read-only chooser.
    SetFileDialog(nullptr);
    std::optional<bool> own;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                own = IsOwnChooser(*dialog);
                dialog->reject();
            }
    });
    poll.start(50);
    EXPECT_TRUE(ClickInputUntil([&] { return own.has_value(); }));
    EXPECT_EQ(own, std::optional<bool>(true));
}

// The session ends (as the watchdog's log-off does) while the print dialog's chooser is in its
// own loop: both are ended first, and the window goes only after they returned.
TEST_F(EnginePickerTest, TheSessionEndingUnderThePrintDialogsChooserFreesEachDialogOnce) {
    auto box = ScriptedMsgBox::Install();
    ui::InstallTopLevelFormRegistry();
    if (!Open()) GTEST_SKIP() << "the web engine did not start here";

    bool clicked = false, chooserSeen = false, ended = false, stillThereInside = false;
    QString renameState;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* print = qobject_cast<QPrintDialog*>(modal)) {
            auto* browse = print->findChild<QToolButton*>(QStringLiteral("fileBrowser"));
            if (!browse || !browse->isVisible() || !browse->isEnabled() || clicked) return;  // a printer, not a file
            clicked = true;
            // From the loop, not from this timer: the chooser's loop must let the timer fire again.
            QTimer::singleShot(0, browse, [browse] { QTest::mouseClick(browse, Qt::LeftButton); });
            return;
        }
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        if (!chooser || ended) return;
        chooserSeen = true;
        EXPECT_TRUE(IsOwnChooser(*chooser));
        for (QAction* action : chooser->findChildren<QAction*>())
            if (action->text().contains(QStringLiteral("Rename")) || action->text().contains(QStringLiteral("Delete")))
                renameState += action->isEnabled() ? QStringLiteral("on ") : QStringLiteral("off ");
        ended = true;
        UnloadAllForms(false);
        // The next modal loop (the login) runs here, on top of the two ended dialogs.
        QEventLoop login;
        QTimer::singleShot(300, &login, &QEventLoop::quit);
        login.exec();
        stillThereInside = window_;
    });
    poll.start();
    window_->mnuFileItem_Click(4);
    poll.stop();
    EXPECT_TRUE(chooserSeen);
    EXPECT_EQ(renameState, QStringLiteral("off off "));
    EXPECT_TRUE(stillThereInside);
    EXPECT_TRUE(WaitFor([&] { return window_.isNull(); }, 5000)) << "the window closed once its dialogs returned";
    EXPECT_EQ(box->Count(), 0);
}

}  // namespace
}  // namespace corvane::testing

int main(int argc, char** argv) { return corvane::testing::RunEngineTests(argc, argv); }
