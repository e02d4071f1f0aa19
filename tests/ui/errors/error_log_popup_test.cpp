// The error-log quick-view card: where it opens, what it shows and what
// closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "errors/error_test_support.h"
#include "ui/errors/frm_error_log.h"
#include "ui/errors/frm_error_log_popup.h"
#include "ui/helpers/pointer_screen.h"
#include "ui/ui_test_support.h"

using namespace corvane;

namespace {

const std::string kLog =
    "[-2147221484],Operation is not allowed when the object is closed,ActivityLog.BOF,"
    "Subs.WriteActivityLog,12/9/2026 12:47:03 AM\r\n"
    "[70],Permission denied,Corvane,frmUser.cmdOK_Click,12/9/2026 1:05:10 AM\r\n";

class ErrorLogPopup : public test::ErrorReportingTest {
protected:
    void SetUp() override {
        ErrorReportingTest::SetUp();
        test::PointAt({500, 300}, {0, 0, 1024, 768});
    }
    void TearDown() override {
        viewer_.reset();
        SetPointerScreen(nullptr);
        ErrorReportingTest::TearDown();
    }
    frmErrorLog& OpenWithRows() {
        WriteFile(LogPath(), kLog);
        viewer_ = std::make_unique<frmErrorLog>();
        viewer_->AppErrorLog = LogPath();
        viewer_->show();  // its first showing loads the list
        return *viewer_;
    }
    bool ShowPopup(const std::function<void(frmErrorLogPopup*)>& action) {
        return test::WhileModal<frmErrorLogPopup>([this] { viewer_->ShowItemPopup(); }, action);
    }
    QList<frmErrorLogPopup*> Cards() const { return viewer_->findChildren<frmErrorLogPopup*>(); }

    std::unique_ptr<frmErrorLog> viewer_;
};

TEST_F(ErrorLogPopup, OpensWithItsTopLeftCornerAtThePointerAsFarAsTheScreenHoldsIt) {
    // The card is 5400 by 1440 twips: 360 by 96 pixels.
    test::ExpectCardPlaces<frmErrorLogPopup>(
        {360, 96}, {
                       {"near the top left", {10, 10}, {0, 0, 1024, 768}, {10, 10}},
                       {"just fits", {664, 672}, {0, 0, 1024, 768}, {664, 672}},
                       {"near the right edge", {1000, 100}, {0, 0, 1024, 768}, {664, 100}},
                       {"bottom right corner", {1020, 760}, {0, 0, 1024, 768}, {664, 672}},
                       {"second screen", {2250, 1000}, {1024, 0, 1280, 1024}, {1944, 928}},
                   });
    frmErrorLogPopup card;
    EXPECT_TRUE(card.windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(ErrorLogPopup, NoSelectedRowNoCard) {
    frmErrorLog& w = OpenWithRows();
    w.SetSelectedIndex(0);
    ASSERT_FALSE(w.ItemSelected());
    EXPECT_FALSE(ShowPopup([](frmErrorLogPopup*) {}));
    EXPECT_TRUE(Cards().isEmpty());
}

TEST_F(ErrorLogPopup, ShowsTheSelectedRowTrimmedBesideItsCaptions) {
    frmErrorLog& w = OpenWithRows();
    ASSERT_EQ(w.ListCount(), 2);
    w.SetSelectedIndex(1);
    w.List()->topLevelItem(0)->setText(2, QStringLiteral("  ActivityLog.BOF  "));
    QStringList captions, values;
    QWidget* owner = nullptr;
    ASSERT_TRUE(ShowPopup([&](frmErrorLogPopup* card) {
        for (int i = 0; i < frmErrorLogPopup::kRows; ++i) {
            captions << card->findChild<QLabel*>(QStringLiteral("lblCaption%1").arg(i))->text();
            values << card->ValueLabel(i)->objectName() + "=" + card->ValueLabel(i)->text();
        }
        owner = card->parentWidget();
        test::ExpectCaptionsFit(card);
        EXPECT_TRUE(card->isModal());
        EXPECT_EQ(card->findChild<QPushButton*>("cmdClose")->toolTip(), "Close this pop up window");
    }));
    EXPECT_EQ(captions.join('|').toStdString(), "Error Number:|Description:|Source:|Location:|Time Stamp:");
    EXPECT_EQ(values.join('|').toStdString(),
              "lblErrorNumber=[-2147221484]|lblDescription=Operation is not allowed when the object is closed|"
              "lblSource=ActivityLog.BOF|lblLocation=Subs.WriteActivityLog|lblTimeStamp=12/9/2026 12:47:03 AM");
    EXPECT_EQ(owner, &w);
    // Unloaded once hidden; the next call makes a fresh card.
    EXPECT_TRUE(Cards().isEmpty());
    w.SetSelectedIndex(2);
    QString number;
    ASSERT_TRUE(ShowPopup([&](frmErrorLogPopup* card) { number = card->ValueLabel(0)->text(); }));
    EXPECT_EQ(number, "[70]");
    EXPECT_TRUE(Cards().isEmpty());
}

TEST_F(ErrorLogPopup, AClickAnywhereOnItTheCloseButtonAndLosingTheFocusCloseIt) {
    OpenWithRows().SetSelectedIndex(1);
    enum class Act { Click, ClickBlank, Deactivate };
    const std::pair<const char*, Act> cases[] = {
        {"lblErrorNumber", Act::Click}, {"lblDescription", Act::Click}, {"lblTimeStamp", Act::Click},
        {"lblCaption0", Act::Click},    {"lblCaption4", Act::Click},    {"cmdClose", Act::Click},
        {"", Act::ClickBlank},          {"", Act::Deactivate},
    };
    for (const auto& [target, act] : cases) {
        SCOPED_TRACE(::testing::Message() << target << " " << static_cast<int>(act));
        bool open = true;
        ASSERT_TRUE(ShowPopup([&](frmErrorLogPopup* card) {
            QApplication::setActiveWindow(card);
            ASSERT_TRUE(card->isVisible());
            QWidget* widget = act == Act::Click ? card->findChild<QWidget*>(QString::fromLatin1(target)) : card;
            ASSERT_NE(widget, nullptr);
            if (act == Act::Click)
                QTest::mouseClick(widget, Qt::LeftButton);
            else if (act == Act::ClickBlank)
                QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 90));
            else
                QApplication::setActiveWindow(nullptr);
            open = card->isVisible();
        }));
        EXPECT_FALSE(open);
    }
}

}  // namespace
