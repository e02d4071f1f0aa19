#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/msgbox/frm_message.h"

using namespace corvane;

TEST(FrmMessage, SendFollowsTheTextAndCloseCloses) {
    frmMessage window;
    window.show();
    auto* text = window.findChild<QLineEdit*>("txtMessage");
    auto* send = window.findChild<QPushButton*>("cmdSend");
    auto* close = window.findChild<QPushButton*>("cmdClose");
    EXPECT_EQ(window.windowTitle(), "Network Message!");
    EXPECT_FALSE(send->isEnabled());
    QTest::keyClicks(text, "hi");
    EXPECT_TRUE(send->isEnabled());
    text->clear();
    EXPECT_FALSE(send->isEnabled());
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}
