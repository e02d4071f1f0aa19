#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QTest>

#include "ui/msgbox/balloon.h"
#include "ui_core/balloon_outline.h"
#include "ui/helpers/big_timer.h"
#include "ui/msgbox/frm_balloon.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/ui_test_support.h"

using namespace corvane;
using namespace std::chrono_literals;

TEST(BalloonOutline, FiftySixPointsWithMirroredCorners) {
    const auto points = ui::BalloonOutline(312, 108);
    ASSERT_EQ(points.size(), 56u);
    EXPECT_EQ(points[0], (ui::OutlinePoint{0, 12}));
    EXPECT_EQ(points[5], (ui::OutlinePoint{3, 6}));
    EXPECT_EQ(points[13], (ui::OutlinePoint{12, 0}));
    EXPECT_EQ(points[14], (ui::OutlinePoint{300, 0}));
    EXPECT_EQ(points[19], (ui::OutlinePoint{306, 3}));
    EXPECT_EQ(points[27], (ui::OutlinePoint{312, 12}));
    EXPECT_EQ(points[28], (ui::OutlinePoint{312, 96}));
    EXPECT_EQ(points[41], (ui::OutlinePoint{300, 108}));
    EXPECT_EQ(points[42], (ui::OutlinePoint{12, 108}));
    EXPECT_EQ(points[47], (ui::OutlinePoint{6, 105}));
    EXPECT_EQ(points[50], (ui::OutlinePoint{3, 102}));
    EXPECT_EQ(points[55], (ui::OutlinePoint{0, 96}));
}

namespace {

struct Host {
    QWidget window;
    Balloon* balloon;
    Host() : balloon(new Balloon(&window)) {
        window.setObjectName("frmHost");
        window.setGeometry(100, 100, 400, 300);
        balloon->move(30, 40);
        window.show();
        balloon->Caption = "Corvane";
        balloon->BodyText = "Your session ends in five minutes.";
    }
};

}  // namespace

TEST(Balloon, OpensAtTheControlWithItsTexts) {
    Host host;
    host.balloon->WhichIcon = 2;
    host.balloon->Show();
    frmBalloon* w = host.balloon->Window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->pos(), host.balloon->mapToGlobal(QPoint(0, 0)));
    EXPECT_EQ(w->size(), ui::ToPixels(4680, 1620));
    EXPECT_EQ(w->findChild<QLabel*>("lblTitle")->text(), "Corvane");
    EXPECT_EQ(w->findChild<QLabel*>("lblText")->text(), "Your session ends in five minutes.");
    EXPECT_TRUE(w->findChild<QLabel*>("imgDisplayIcon")->isVisible());
    EXPECT_EQ(w->Outline().size(), 56);
    w->close();
}

TEST(Balloon, WithoutIconTheTitleTakesItsPlaceAndNoCloseButton) {
    Host host;
    host.balloon->ShowClose = false;
    host.balloon->Show();
    frmBalloon* w = host.balloon->Window();
    auto* icon = w->findChild<QLabel*>("imgDisplayIcon");
    EXPECT_FALSE(icon->isVisible());
    EXPECT_EQ(w->findChild<QLabel*>("lblTitle")->pos(), icon->pos());
    EXPECT_FALSE(w->findChild<QLabel*>("imgX")->isVisible());
    EXPECT_FALSE(w->findChild<QLabel*>("lblX")->isVisible());
    // A click anywhere still closes it.
    QPointer<frmBalloon> guard(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(50, 50));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST(Balloon, ClosesItselfOnItsCountdown) {
    test::FakeClock clock({2024, 5, 1, 8, 0, 0});
    Host host;
    host.balloon->AutoCloseAfterSecs = 5;
    host.balloon->Show();
    QPointer<frmBalloon> w = host.balloon->Window();
    auto* timer = w->findChild<BigTimer*>("tmrAutoClose");
    for (int i = 0; i < 5 && w && w->isVisible(); ++i) {
        EXPECT_TRUE(w->isVisible());
        clock.Advance(1s);
        timer->Tick();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

TEST(Balloon, HideReachesOnlyTheLastBalloon) {
    Host host;
    host.balloon->Show();
    QPointer<frmBalloon> first = host.balloon->Window();
    host.balloon->Show();
    QPointer<frmBalloon> second = host.balloon->Window();
    ASSERT_NE(first, second);
    host.balloon->Hide();
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(second.isNull());  // hidden, not closed
    first->close();
    second->close();
}

TEST(Balloon, ResizingKeepsTheOutlineAndTheCloseButtonAtTheRight) {
    Host host;
    host.balloon->Show();
    frmBalloon* w = host.balloon->Window();
    w->resize(500, 150);
    auto* x = w->findChild<QLabel*>("imgX");
    EXPECT_EQ(x->x(), static_cast<int>(500 - 1.5 * x->width()));
    EXPECT_EQ(w->Outline().boundingRect(), QRect(0, 0, 501, 151));
    EXPECT_EQ(w->findChild<QLabel*>("lblText")->width(), 500 - 2 * 8);
    w->close();
}

TEST(Balloon, TahomaStandsInOnlyWhenInstalled) {
    frmBalloon w;
    w.SetBalloon("t", "b", 0, 0, 0, true, 0, 1620, 4680, "Tahoma, if exists", 9);
    const QString family = w.findChild<QLabel*>("lblText")->font().families().value(0);
    EXPECT_EQ(family, frmBalloon::DoesTahomaExist() ? "Tahoma" : "MS Sans Serif");
}
