#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "ui/helpers/big_timer.h"
#include "ui/msgbox/frm_enh_msg_box.h"
#include "ui_core/msgbox/scripted_msgbox.h"
#include "ui_core/msgbox/ui_msg_box.h"
#include "ui/ui_test_support.h"

using namespace corvane;
using corvane::test::OnNextMsgBox;

namespace {

// Every test here shows the real window.
class MsgBoxWindow : public ::testing::Test {
protected:
    void SetUp() override { previous_ = SetMsgBoxPresenter(std::make_shared<EnhMsgBoxPresenter>()); }
    void TearDown() override { SetMsgBoxPresenter(previous_); }

    // Records the help requests the box makes instead of opening a viewer.
    struct HelpCall {
        std::string target;
        int command, data;
    };
    std::vector<HelpCall> helpCalls_;
    ui::UiServices RecordingHelp() {
        ui::UiServices s = ui::Services();
        s.openHelp = [this](const std::string& t, int c, int d) { helpCalls_.push_back({t, c, d}); };
        return s;
    }

private:
    std::shared_ptr<MsgBoxPresenter> previous_;
};

QPushButton* Button(frmEnhMsgBox* box, int i) {
    return box->findChild<QPushButton*>(QStringLiteral("cmdButton%1").arg(i));
}

}  // namespace

TEST_F(MsgBoxWindow, NoButtonAnswersSevenAndHadTheFocus) {
    bool focusOnNo = false, yesShown = false, questionShown = false;
    QString title, captions;
    OnNextMsgBox([&](frmEnhMsgBox* box) {
        // Whatever window was active before, the box takes the activation before its focus
        // is looked at, so the answer does not hang on the order or the timing of the tests.
        box->activateWindow();
        focusOnNo = QTest::qWaitForWindowActive(box) && Button(box, 1)->hasFocus() &&
                    box->focusWidget() == Button(box, 1);
        captions = Button(box, 0)->text() + "/" + Button(box, 1)->text();
        yesShown = Button(box, 0)->isVisible() && !Button(box, 2)->isVisible();
        questionShown = box->findChild<QLabel*>("imgQuestion")->isVisible();
        title = box->windowTitle();
        QTest::mouseClick(Button(box, 1), Qt::LeftButton);
    });
    EXPECT_EQ(ShowMsgBox("Delete the selected user?", 4 + 32 + 256, "Corvane"), kMsgNo);
    EXPECT_TRUE(focusOnNo);
    EXPECT_TRUE(yesShown);
    EXPECT_TRUE(questionShown);
    EXPECT_EQ(title, "Corvane");
    EXPECT_EQ(captions, "Yes/No");
}

TEST_F(MsgBoxWindow, RetryAndCancelOfATopMostCriticalBox) {
    for (const auto& [index, code] : {std::pair{0, kMsgRetry}, {1, kMsgCancel}}) {
        bool topMost = false;
        int sound = -1;
        OnNextMsgBox([&, i = index](frmEnhMsgBox* box) {
            topMost = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && box->SystemModal;
            sound = box->Sound();
            QTest::mouseClick(Button(box, i), Qt::LeftButton);
        });
        EXPECT_EQ(ShowMsgBox("The data file is busy.", 5 + 16 + 4096, "Corvane"), code);
        EXPECT_TRUE(topMost);
        EXPECT_EQ(sound, 64);
    }
}

TEST_F(MsgBoxWindow, HelpKeepsTheBoxOpenAndThenEscAnswersNine) {
    test::ServicesScope services(RecordingHelp());
    bool stillOpen = false;
    QString helpCaption;
    OnNextMsgBox([&](frmEnhMsgBox* box) {
        helpCaption = Button(box, 3)->text();
        QTest::mouseClick(Button(box, 3), Qt::LeftButton);
        stillOpen = box->isVisible();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    UIMsgBox msg;
    const int code = msg.EnhMsgBox("See the help.", kMsgHelpButton, "Corvane", std::nullopt, false,
                                   0, 0, 0, 0, 0, "/opt/corvane/Corvane.chm", 0, 0);
    EXPECT_EQ(code, kMsgHelp);
    EXPECT_EQ(msg.result(), kMsgHelp);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(helpCaption, "Help");
    ASSERT_EQ(helpCalls_.size(), 1u);
    EXPECT_EQ(helpCalls_[0].target, "/opt/corvane/Corvane.chm");
    EXPECT_EQ(helpCalls_[0].command, 0);  // no context: the default topic
}

TEST_F(MsgBoxWindow, HelpWithAContextThenOkAnswersOne) {
    test::ServicesScope services(RecordingHelp());
    OnNextMsgBox([&](frmEnhMsgBox* box) {
        QTest::mouseClick(Button(box, 3), Qt::LeftButton);
        QTest::mouseClick(Button(box, 0), Qt::LeftButton);
    });
    UIMsgBox msg;
    msg.SetPrompt("Help, then OK.");
    msg.SetButtons(kMsgHelpButton);
    msg.SetHelpFile("help.chm");
    msg.SetContextID(1200);
    EXPECT_EQ(msg.Show(), kMsgOk);
    ASSERT_EQ(helpCalls_.size(), 1u);
    EXPECT_EQ(helpCalls_[0].command, 15);
    EXPECT_EQ(helpCalls_[0].data, 1200);
}

TEST_F(MsgBoxWindow, EscOrTheCloseBoxWithoutAnAnswerReturnZero) {
    OnNextMsgBox([](frmEnhMsgBox* box) { QTest::keyClick(Button(box, 0), Qt::Key_Escape); });
    EXPECT_EQ(ShowMsgBox("Esc on a button", kMsgOkCancel, "Corvane"), kMsgNone);

    OnNextMsgBox([](frmEnhMsgBox* box) { box->close(); });
    EXPECT_EQ(ShowMsgBox("Close box", kMsgYesNo, "Corvane"), kMsgNone);
}

TEST_F(MsgBoxWindow, EnterPressesTheFocusedButton) {
    OnNextMsgBox([](frmEnhMsgBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(ShowMsgBox("Enter", kMsgYesNoCancel + kMsgDefaultButton3, "Corvane"), kMsgCancel);
}

TEST_F(MsgBoxWindow, AutoCloseAfterThreeSecondsAnswersZeroOnTheInjectedClock) {
    test::FakeClock clock({2024, 5, 1, 10, 0, 0});
    std::vector<int> left;
    OnNextMsgBox([&](frmEnhMsgBox* box) {
        BigTimer* timer = box->findChild<BigTimer*>("tmrAutoClose");
        QObject::connect(timer, &BigTimer::TimeLeft, [&](std::int32_t s) { left.push_back(s); });
        for (int second = 0; second < 3 && box->isVisible(); ++second) {
            clock.Advance(std::chrono::seconds(1));
            timer->Tick();
        }
    });
    UIMsgBox msg;
    msg.SetPrompt("Closing by itself.");
    msg.SetAutoCloseAfterSecs(3);
    EXPECT_EQ(msg.Show(), kMsgNone);
    EXPECT_EQ(left, (std::vector<int>{2, 1, 0}));
}

TEST_F(MsgBoxWindow, NoAnswerButtonsLeaveOnlyEsc) {
    int shown = -1;
    OnNextMsgBox([&](frmEnhMsgBox* box) {
        shown = 0;
        for (int i = 0; i < 4; ++i) shown += Button(box, i)->isVisible();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowMsgBox("No buttons", 6, "Corvane"), kMsgNone);
    EXPECT_EQ(shown, 0);

    OnNextMsgBox([&](frmEnhMsgBox* box) {
        shown = 0;
        for (int i = 0; i < 4; ++i) shown += Button(box, i)->isVisible();
        shown += box->findChild<QLabel*>("imgCritical")->isVisible();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowMsgBox("Negative flags", -16, "Corvane"), kMsgNone);
    EXPECT_EQ(shown, 0);
}

TEST_F(MsgBoxWindow, EmptyTitleShowsOneSpaceAndPlainTextShowsTagsLiterally) {
    QString title, label;
    OnNextMsgBox([&](frmEnhMsgBox* box) {
        title = box->windowTitle();
        label = box->findChild<QLabel*>("lblMessage")->text();
        QTest::mouseClick(Button(box, 0), Qt::LeftButton);
    });
    EXPECT_EQ(ShowMsgBox("<B>Not bold</B>\r\nsecond line", 0, ""), kMsgOk);
    EXPECT_EQ(title, " ");
    EXPECT_EQ(label, "<B>Not bold</B>\nsecond line");
}

TEST_F(MsgBoxWindow, RichPromptIsMarkedUpInTheTextView) {
    bool bold = false, tagsGone = false, viewShown = false;
    OnNextMsgBox([&](frmEnhMsgBox* box) {
        auto* view = box->findChild<QTextEdit*>("txtMessage");
        viewShown = view->isVisible() && !box->findChild<QLabel*>("lblMessage")->isVisible();
        tagsGone = view->toPlainText() == "Save changes?";
        QTextCursor c(view->document());
        c.setPosition(1);
        bold = c.charFormat().fontWeight() == QFont::Bold;
        QTest::mouseClick(Button(box, 0), Qt::LeftButton);
    });
    UIMsgBox msg;
    EXPECT_EQ(msg.EnhMsgBox("<B>Save</B> changes?", kMsgYesNo, "Corvane", std::nullopt, true, 0,
                            0, 0, 0, 0, "", 0, 1),
              kMsgYes);
    EXPECT_TRUE(viewShown);
    EXPECT_TRUE(tagsGone);
    EXPECT_TRUE(bold);
}

TEST(MsgBoxSeam, ScriptedResponderRecordsAndAnswers) {
    auto scripted = ScriptedMsgBox::Install();
    scripted->Answers({kMsgYes, kMsgNo});
    scripted->SetDefaultAnswer(kMsgCancel);
    ui::UiServices uk = ui::Services();
    uk.language = [] { return 1; };
    test::ServicesScope services(uk);

    EXPECT_EQ(ShowMsgBox("First?", kMsgYesNo + kMsgQuestion, "Corvane"), kMsgYes);
    EXPECT_EQ(ShowMsgBox("Second?", kMsgYesNo, "Corvane"), kMsgNo);
    EXPECT_EQ(ShowMsgBox("Third?", kMsgOkCancel, "Other"), kMsgCancel);
    ASSERT_EQ(scripted->Count(), 3);
    EXPECT_EQ(scripted->Questions()[0].prompt, "First?");
    EXPECT_EQ(scripted->Questions()[0].buttons, 36);
    EXPECT_EQ(scripted->Last().title, "Other");
    // The plain box: button captions in the "Language" setting, defaults elsewhere.
    const MsgBoxRequest& r = scripted->Last().request;
    EXPECT_EQ(r.language, 1);
    EXPECT_FALSE(r.richText);
    EXPECT_FALSE(r.font.has_value());
    EXPECT_EQ(r.autoCloseAfterSecs, 0);
    EXPECT_EQ(r.helpFile, "");
}

TEST(MsgBoxSeam, WithoutAPresenterEveryQuestionAnswersZero) {
    auto previous = SetMsgBoxPresenter(nullptr);
    EXPECT_EQ(ShowMsgBox("Anyone?", kMsgYesNo, "Corvane"), kMsgNone);
    SetMsgBoxPresenter(previous);
}

TEST(MsgBoxSeam, GuardPutsThePreviousPresenterBack) {
    auto outer = ScriptedMsgBox::Install();
    outer->SetDefaultAnswer(kMsgOk);
    {
        auto inner = ScriptedMsgBox::Install();
        inner->AnswerWith([](const ScriptedMsgBox::Question& q) {
            return q.prompt == "Retry?" ? kMsgRetry : kMsgAbort;
        });
        EXPECT_EQ(ShowMsgBox("Retry?", kMsgRetryCancel, "Corvane"), kMsgRetry);
        EXPECT_EQ(outer->Count(), 0);
    }
    EXPECT_EQ(ShowMsgBox("Done", kMsgOkOnly, "Corvane"), kMsgOk);
    EXPECT_EQ(outer->Count(), 1);
}
