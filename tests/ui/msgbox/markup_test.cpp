#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "ui/msgbox/msgbox_markup.h"

using namespace corvane;

namespace {

struct Marked {
    QTextDocument doc;
    bool ok = false;
    explicit Marked(const QString& text) {
        doc.setPlainText(text);
        ok = ApplyMsgBoxMarkup(&doc);
    }
    QString Text() const { return doc.toPlainText(); }
    // The format of the character at a position (0-based).
    QTextCharFormat At(int pos) const {
        QTextCursor c(const_cast<QTextDocument*>(&doc));
        c.setPosition(pos + 1);
        return c.charFormat();
    }
    bool Bold(int pos) const { return At(pos).fontWeight() == QFont::Bold; }
    Qt::Alignment Align(int pos) const { return doc.findBlock(pos).blockFormat().alignment(); }
};

}  // namespace

TEST(MsgBoxMarkup, PlainTagsFormatWhatTheyEncloseAndDisappear) {
    const Marked m("a <B>bold</B> and <I>it</I>, <U>u</U> <STRIKE>s</STRIKE>.");
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.Text(), "a bold and it, u s.");
    EXPECT_FALSE(m.Bold(0));
    for (int i = 2; i < 6; ++i) EXPECT_TRUE(m.Bold(i)) << i;
    EXPECT_FALSE(m.Bold(6));
    EXPECT_TRUE(m.At(11).fontItalic());
    EXPECT_FALSE(m.At(13).fontItalic());
    EXPECT_TRUE(m.At(15).fontUnderline());
    EXPECT_TRUE(m.At(17).fontStrikeOut());
    EXPECT_FALSE(m.At(18).fontStrikeOut());
}

TEST(MsgBoxMarkup, ValuedTags) {
    struct Case {
        QString input;
        QString text;
        std::function<bool(const Marked&)> check;
    };
    const Case cases[] = {
        {"<COLOR=255>red</COLOR> x", "red x",
         [](const Marked& m) {
             return m.At(0).foreground().color() == QColor(255, 0, 0) &&
                    m.At(4).foreground().color() != QColor(255, 0, 0);
         }},
        {"<COLOR=&HFF0000>blue</COLOR>", "blue",
         [](const Marked& m) { return m.At(2).foreground().color() == QColor(0, 0, 255); }},
        {"<SIZE=14>big</SIZE> small", "big small",
         [](const Marked& m) { return m.At(1).fontPointSize() == 14 && m.At(5).fontPointSize() != 14; }},
        {"<FONT=Arial><B>bold arial</B></FONT>", "bold arial",
         [](const Marked& m) {
             return m.Bold(3) && m.At(3).fontFamilies().toStringList().contains("Arial");
         }},
        {"<ALIGN=center>middle</ALIGN>", "middle",
         [](const Marked& m) { return m.Align(2) == Qt::AlignHCenter; }},
        {"<ALIGN=RIGHT>r</ALIGN>", "r", [](const Marked& m) { return m.Align(0) == Qt::AlignRight; }},
        {"<ALIGN=MIDDLE>m</ALIGN>", "m",
         [](const Marked& m) { return !(m.Align(0) & (Qt::AlignRight | Qt::AlignHCenter)); }},
        {"<u>lower</u>", "<u>lower</u>", [](const Marked& m) { return !m.At(4).fontUnderline(); }},
        {"<U>one</U> mid <U>two</U>", "one mid two",
         [](const Marked& m) {
             return m.At(1).fontUnderline() && !m.At(5).fontUnderline() && m.At(9).fontUnderline();
         }},
    };
    for (const auto& c : cases) {
        const Marked m(c.input);
        EXPECT_TRUE(m.ok) << c.input.toStdString();
        EXPECT_EQ(m.Text(), c.text) << c.input.toStdString();
        EXPECT_TRUE(c.check(m)) << c.input.toStdString();
    }
}

TEST(MsgBoxMarkup, BulletsMakeListParagraphs) {
    const Marked m("head\n<BULLET>one\ntwo</BULLET>\ntail");
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.Text(), "head\none\ntwo\ntail");
    EXPECT_EQ(m.doc.findBlockByNumber(0).textList(), nullptr);
    EXPECT_NE(m.doc.findBlockByNumber(1).textList(), nullptr);
    EXPECT_NE(m.doc.findBlockByNumber(2).textList(), nullptr);
    EXPECT_EQ(m.doc.findBlockByNumber(3).textList(), nullptr);
}

TEST(MsgBoxMarkup, AtMost101TagsOfOneKind) {
    QString input;
    for (int i = 0; i < 102; ++i) input += "<B>x</B> ";
    const Marked m(input);
    ASSERT_TRUE(m.ok);
    EXPECT_TRUE(m.Text().endsWith("<B>x</B> "));
    EXPECT_EQ(m.Text().count("<B>"), 1);
    EXPECT_TRUE(m.Bold(0));
}

TEST(MsgBoxMarkup, MalformedTagsEndTheMarkupWhereTheyStand) {
    // A size that is no number: both size tags are gone, the size unchanged,
    // and the later bold pair is never reached.
    Marked m("<SIZE=big>text</SIZE> <B>b</B>");
    EXPECT_FALSE(m.ok);
    EXPECT_EQ(m.Text(), "text <B>b</B>");

    // "<FONT=" with no ">" after it: nothing is removed at all.
    m.doc.setPlainText("<B>b</B> <FONT=Arial");
    EXPECT_FALSE(ApplyMsgBoxMarkup(&m.doc));
    EXPECT_EQ(m.Text(), "<B>b</B> <FONT=Arial");

    // An opening tag without its closing tag.
    m.doc.setPlainText("<I>open only <B>b</B>");
    EXPECT_FALSE(ApplyMsgBoxMarkup(&m.doc));
    EXPECT_EQ(m.Text(), "<I>open only b");  // bold ran before and took its pair
    EXPECT_TRUE(m.Bold(13));
}

TEST(MsgBoxMarkup, StrayClosingTagIsRemovedInsteadOfThePairs) {
    const Marked m("</SIZE> <SIZE=12>a</SIZE>");
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.Text(), " a</SIZE>");
}
