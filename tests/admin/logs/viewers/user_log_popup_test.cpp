// The user-log quick-view card: where it opens, what it shows and what
// closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <functional>
#include <memory>

#include "admin/logs/viewers/frm_log_viewers.h"
#include "admin/logs/viewers/frm_user_log_popup.h"
#include "admin/logs/viewers/log_viewers_test_support.h"
#include "ui/helpers/pointer_screen.h"
#include "ui/ui_test_support.h"

using namespace corvane;
using namespace corvane::test;

namespace {

class PopupTest : public LogFolderTest {
protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        PointAt({500, 300}, {0, 0, 1024, 768});
    }
    void TearDown() override {
        viewer_.reset();
        SetPointerScreen(nullptr);
        LogFolderTest::TearDown();
    }
    frmUserLog& OpenWithRows() {
        AddUserLog({"ann", "  Ann Lee", "Corvane", "WS-FRONT", Stamp(2026, 12, 9, 8, 5, 0), Stamp(2026, 12, 9, 17, 48, 0)});
        AddUserLog({"ben", "Ben Ode", "Corvane", "WS-BACK", Stamp(2026, 12, 9, 9, 0, 0), 0, false, true});
        viewer_ = std::make_unique<frmUserLog>();
        viewer_->Activate();
        return *viewer_;
    }
    // ShowItemPopup with the action on the card once it is open (see WhileModal).
    bool ShowPopup(const std::function<void(frmUserLogPopup*)>& action) {
        return WhileModal<frmUserLogPopup>([this] { viewer_->ShowItemPopup(); }, action);
    }
    QList<frmUserLogPopup*> Cards() const { return viewer_->findChildren<frmUserLogPopup*>(); }

    std::unique_ptr<frmUserLog> viewer_;
};

TEST_F(PopupTest, OpensBesideThePointerAndStaysOnItsScreen) {
    // The card is 4995 by 1575 twips: 333 by 105 pixels.
    ExpectCardPlaces<frmUserLogPopup>(
        {333, 105},
        {
            {"near the top left", {10, 10}, {0, 0, 1024, 768}, {10, 10}},
            {"just fits", {691, 663}, {0, 0, 1024, 768}, {691, 663}},
            {"near the right edge", {1000, 100}, {0, 0, 1024, 768}, {667, 100}},
            {"near the bottom", {100, 700}, {0, 0, 1024, 768}, {100, 595}},
            {"bottom right corner", {1020, 760}, {0, 0, 1024, 768}, {687, 655}},
            {"second screen, top left", {1100, 10}, {1024, 0, 1280, 1024}, {1100, 10}},
            {"second screen, bottom right", {2250, 1000}, {1024, 0, 1280, 1024}, {1917, 895}},
        });
}

TEST_F(PopupTest, NoSelectedRowNoCard) {
    frmUserLog& w = OpenWithRows();
    ASSERT_FALSE(w.ItemSelected());
    EXPECT_FALSE(ShowPopup([](frmUserLogPopup*) {}));
    EXPECT_TRUE(Cards().isEmpty());
}

TEST_F(PopupTest, ShowsTheSelectedRowUnderTheColumnCaptions) {
    frmUserLog& w = OpenWithRows();
    w.SetSelectedIndex(2);  // newest first: ann's ended session
    PointAt({1000, 700}, {0, 0, 1024, 768});
    QStringList captions, values;
    QWidget* owner = nullptr;
    QPoint at;
    ASSERT_TRUE(ShowPopup([&](frmUserLogPopup* card) {
        for (int i = 0; i < frmUserLogPopup::kRows; ++i) {
            captions << card->findChild<QLabel*>(QStringLiteral("lblDetails%1").arg(i))->text();
            values << card->ValueLabel(i)->text();
        }
        owner = card->parentWidget();
        at = card->pos();
        ExpectCaptionsFit(card);
        EXPECT_TRUE(card->isModal());
        EXPECT_EQ(card->focusWidget()->objectName(), "Text3");
    }));
    EXPECT_EQ(captions.join('|').toStdString(),
              "User Login|User Name|Application|Computer|Login Time|Logout Time|Active");
    EXPECT_EQ(values.join('|').toStdString(), "ann|Ann Lee|Corvane|WS-FRONT|12/9/2026 08:05:00|12/9/2026 17:48:00|No");
    EXPECT_EQ(owner, &w);
    EXPECT_EQ(at, QPoint(667, 595));
    // Unloaded once hidden; the next call makes a fresh card.
    EXPECT_TRUE(Cards().isEmpty());
    w.SetSelectedIndex(1);
    QString login;
    ASSERT_TRUE(ShowPopup([&](frmUserLogPopup* card) { login = card->ValueLabel(0)->text(); }));
    EXPECT_EQ(login, "ben");
    EXPECT_TRUE(Cards().isEmpty());
}

TEST_F(PopupTest, AClickOnTheActiveValueKeepsItOpenEverythingElseClosesIt) {
    OpenWithRows().SetSelectedIndex(1);
    enum class Act { Click, ClickBlank, Escape, Deactivate };
    struct Case {
        const char* target;
        Act act;
        bool staysOpen;
    };
    const Case cases[] = {
        {"lblSuccess", Act::Click, true},
        {"lblUserLogin", Act::Click, false},
        {"lblLogoutStamp", Act::Click, false},
        {"lblDetails0", Act::Click, false},
        {"lblDetails6", Act::Click, false},
        {"lblCancel", Act::Click, false},
        {"frmUserLogPopup", Act::ClickBlank, false},
        {"Text3", Act::Escape, false},
        {"frmUserLogPopup", Act::Deactivate, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.target << " " << static_cast<int>(c.act));
        bool open = false;
        ASSERT_TRUE(ShowPopup([&](frmUserLogPopup* card) {
            QApplication::setActiveWindow(card);
            QWidget* target = c.act == Act::ClickBlank || c.act == Act::Deactivate
                                  ? card
                                  : card->findChild<QWidget*>(QString::fromLatin1(c.target));
            ASSERT_NE(target, nullptr);
            switch (c.act) {
                case Act::Click:
                    QTest::mouseClick(target, Qt::LeftButton);
                    break;
                case Act::ClickBlank:  // between the captions and the values
                    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(140, 50));
                    break;
                case Act::Escape:
                    QTest::keyClick(target, Qt::Key_Escape);
                    break;
                case Act::Deactivate:
                    QApplication::setActiveWindow(nullptr);
                    break;
            }
            open = card->isVisible();
        }));
        EXPECT_EQ(open, c.staysOpen);
    }
}

}  // namespace
