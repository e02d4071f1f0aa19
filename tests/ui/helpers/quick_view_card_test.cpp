// A quick-view card's captions (its bold labels) fit their text, whatever
// font the system gives them, and the values beside them move aside.
#include <gtest/gtest.h>

#include <QLabel>

#include "ui/helpers/quick_view_card.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/ui_test_support.h"

using namespace corvane;

namespace {

class CaptionedCard : public QuickViewCard {
public:
    CaptionedCard() : QuickViewCard(QStringLiteral("frmCaptioned"), 5400, 600, nullptr) {
        for (int row = 0; row < 2; ++row) {
            const double top = 60 + row * 240;
            caption[row] = AddLabel(QStringLiteral("lblCaption%1").arg(row), {60, top, 300, 255});
            caption[row]->setFont(CardFont(8.25, true));
            value[row] = AddLabel(QStringLiteral("lblValue%1").arg(row), {420, top, 4800, 225});
            value[row]->setText(QStringLiteral("value"));
        }
        caption[0]->setText(QStringLiteral("A caption far wider than its label:"));
        caption[1]->setText(QStringLiteral("A:"));
    }
    QLabel* caption[2];
    QLabel* value[2];
};

TEST(QuickViewCard, CaptionsAreWidenedToTheirTextAndTheValuesBesideThemMoveAside) {
    CaptionedCard card;
    const QRect narrowValue = card.value[1]->geometry();
    const int valueRight = card.value[0]->geometry().right();
    card.show();
    test::ExpectCaptionsFit(&card);
    EXPECT_GT(card.caption[0]->width(), ui::ToPixelsX(300));
    EXPECT_EQ(card.value[0]->geometry().right(), valueRight) << "the value keeps its right edge";
    EXPECT_EQ(card.value[1]->geometry(), narrowValue) << "a caption that fits changes nothing";
}

}  // namespace
