// Pages loaded from files over the real engine: a page saved and opened as a file: address
// reads none of Corvane's files, and no file: address into Corvane's folders opens, for a user
// whose websites are not enforced and for an administrator. Skipped where the engine cannot
// start (no display, no engine process).

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "browser/window/engine_browser_control.h"
#include "browser/window/frm_web_browser.h"
#include "browser_test_support.h"
#include "engine_test_main.h"
#include "loopback_server.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/set_up_record.h"
#include "ui/helpers/file_dialog.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

// Reads an address with the page's own script; "refused" when the engine will not.
const QByteArray kReaderPage =
    "<html><head><title>Reader</title></head><body><p>reader</p><script>"
    "function readAddress(u) {"
    "  try { var x = new XMLHttpRequest(); x.open('GET', u, false); x.send();"
    "        return x.status + ':' + x.responseText.length; }"
    "  catch (e) { return 'refused'; } }"
    "</script></body></html>";

std::string FileAddress(const std::string& path) { return "file://" + path; }

class EngineFilePagesTest : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        server_.pages["/reader"] = kReaderPage;
        // What a page must not read: the account table, the machine hive, the set-up record
        // and a log, each there with something in it.
        const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
        fs::create_directories(fs::path(hive).parent_path());
        if (!fs::exists(hive)) WriteFile(hive, "hive");
        fs::create_directories(SetUpRecordFolder());
        WriteFile(SetUpRecordFolder() + "/set-up-test", folder_);
        WriteFile(Path("userlog.sec"), std::string(600, 'L'));
        guarded_ = {UsersPath(), hive, SetUpRecordFolder() + "/set-up-test", Path("userlog.sec")};
    }
    void TearDown() override {
        SetFileDialog(nullptr);
        delete window_.data();
        BrowserTest::TearDown();
    }

    EngineBrowserControl& Control() { return static_cast<EngineBrowserControl&>(window_->Control()); }
    QVariant Run(const QString& script) {
        std::optional<QVariant> result;
        Control().View()->page()->runJavaScript(script, [&](const QVariant& v) { result = v; });
        WaitFor([&] { return result.has_value(); }, 10000);
        return result.value_or(QVariant());
    }
    bool Loaded(const std::string& address) {
        return WaitFor([&] { return !Control().Busy() && Control().LocationURL() == address; }, 20000);
    }
    // The address typed into the address box and Enter.
    void Type(const std::string& address) {
        window_->SetAddressText(address);
        window_->Controller().cboAddress_Click();
    }
    static std::vector<std::string> Denied(const std::string& login) {
        std::vector<std::string> urls;
        for (const LogLine& line : LogLines())
            if (line.user == login && line.status == "URL DENIED") urls.push_back(line.url);
        return urls;
    }

    // The reader page from the server, saved with Save As and opened as a file: address by
    // typing it; false when the engine cannot start here.
    bool OpenSavedReader(const std::string& login) {
        LogIn(login);
        window_ = new frmWebBrowser;
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->Controller().StartingAddress = server_.Address("/reader");
        window_->show();
        if (!Loaded(server_.Address("/reader"))) return false;
        saved_ = OutsidePath(login + "-reader.html");
        bool saveDone = false, saveOk = false;
        QObject::connect(&Control(), &EngineBrowserControl::SaveFinished, [&](bool ok) { saveDone = true, saveOk = ok; });
        SetFileDialog([&](const FileDialogRequest&, QWidget*) { return std::optional<QString>(QString::fromStdString(saved_)); });
        window_->mnuFileItem_Click(1);
        EXPECT_TRUE(WaitFor([&] { return saveDone; }, 15000));
        EXPECT_TRUE(saveOk);
        Type(FileAddress(saved_));
        return Loaded(FileAddress(saved_));
    }

    // Nothing of Corvane's reaches the page, by its script, by a navigation or by a frame;
    // a file elsewhere still opens. Every refusal is "URL DENIED" with message 425.
    void ExpectNothingRead(const std::string& login, ScriptedMsgBox::Guard& box) {
        SCOPED_TRACE(login);
        const QWebEngineSettings* settings = Control().View()->page()->settings();
        EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls));
        EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls));
        std::vector<std::string> addresses;
        for (const std::string& file : guarded_) addresses.push_back(FileAddress(file));
        addresses.push_back(FileAddress(folder_ + "/"));
        for (const std::string& address : addresses) EXPECT_EQ(Read(address), "refused") << address;
        EXPECT_EQ(Read(server_.Address("/reader")), "refused");

        // A navigation by the page's script, and a frame it adds.
        const std::string users = FileAddress(UsersPath());
        const int boxes = box->Count();
        Run(QStringLiteral("location.href = '%1';").arg(QString::fromStdString(users)));
        ASSERT_TRUE(WaitFor([&] { return !Denied(login).empty() && Denied(login).back() == users; }, 10000));
        EXPECT_TRUE(WaitFor([&] { return box->Count() > boxes; }, 5000));
        EXPECT_EQ(box->Last().prompt, "Access denied. You do not have the required permission for " + users + "!");
        EXPECT_EQ(Control().LocationURL(), FileAddress(saved_));
        const std::string hive = FileAddress(guarded_[1]);
        Run(QStringLiteral("var f = document.createElement('iframe'); f.id = 'hive'; f.src = '%1';"
                           "document.body.appendChild(f);").arg(QString::fromStdString(hive)));
        EXPECT_TRUE(WaitFor([&] { return Denied(login).back() == hive; }, 10000));

        // Typed: the data folder itself.
        const std::string data = FileAddress(folder_);
        Type(data);
        EXPECT_EQ(box->Last().prompt, "Access denied. You do not have the required permission for " + data + "!");
        EXPECT_EQ(Denied(login).back(), data);
        QApplication::processEvents(QEventLoop::AllEvents, 200);
        EXPECT_EQ(Control().LocationURL(), FileAddress(saved_));

        // Another file of the account's opens as before.
        const std::string other = OutsidePath(login + "-notes.txt");
        WriteFile(other, "notes");
        Type(FileAddress(other));
        EXPECT_TRUE(Loaded(FileAddress(other)));

        // Were the engine's setting on again, the page would read that file, and still none
        // of Corvane's.
        Control().View()->page()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        Type(FileAddress(saved_));
        ASSERT_TRUE(Loaded(FileAddress(saved_)));
        EXPECT_EQ(Read(FileAddress(other)), "200:5");
        for (const std::string& address : addresses) EXPECT_EQ(Read(address), "refused") << address;
    }
    std::string Read(const std::string& address) {
        return Run(QStringLiteral("readAddress('%1')").arg(QString::fromStdString(address))).toString().toStdString();
    }

    LoopbackServer server_;
    QPointer<frmWebBrowser> window_;
    std::vector<std::string> guarded_;
    std::string saved_;
};

TEST_F(EngineFilePagesTest, ASavedPageOpenedAsAFileReadsNoneOfCorvanesFilesForAUserWithoutEnforcedWebsites) {
    AddBrowserUser({.login = "ann", .enforceWebsites = false});
    auto box = ScriptedMsgBox::Install();
    if (!OpenSavedReader("ann")) GTEST_SKIP() << "the web engine did not start here";
    ExpectNothingRead("ann", box);
}

TEST_F(EngineFilePagesTest, ASavedPageOpenedAsAFileReadsNoneOfCorvanesFilesForAnAdministrator) {
    AddBrowserUser({.login = "boss", .administrator = true});
    auto box = ScriptedMsgBox::Install();
    if (!OpenSavedReader("boss")) GTEST_SKIP() << "the web engine did not start here";
    ExpectNothingRead("boss", box);
}

}  // namespace
}  // namespace corvane::testing

int main(int argc, char** argv) { return corvane::testing::RunEngineTests(argc, argv); }
