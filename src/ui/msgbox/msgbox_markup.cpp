#include "ui/msgbox/msgbox_markup.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cmath>
#include <cstdint>
#include <optional>

#include "ui/helpers/ole_color.h"

namespace corvane {
namespace {

struct MarkupError {};

constexpr int kMaxTagsPerKind = 101;
constexpr int kMaxPosition = 32767;  // positions were 16-bit

enum class Valued { Font, Size, Color, Align };
enum class Plain { Bold, Underline, Italic, Strike, Bullet };

// A number as the classic conversion reads a whole value: decimal, or "&H"
// hexadecimal / "&O" octal.
std::optional<double> WholeNumber(const QString& value) {
    const QString v = value.trimmed();
    bool ok = false;
    if (v.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        v.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        const int base = v[1].toUpper() == QLatin1Char('H') ? 16 : 8;
        const qulonglong n = v.mid(2).toULongLong(&ok, base);
        if (!ok || n > 0xFFFFFFFFull) return std::nullopt;
        return static_cast<double>(n > 0xFFFF ? static_cast<std::int32_t>(n)
                                              : static_cast<std::int16_t>(n));
    }
    const double d = v.toDouble(&ok);
    if (!ok) return std::nullopt;
    return d;
}

void CheckPosition(qsizetype zeroBased) {
    if (zeroBased + 1 > kMaxPosition) throw MarkupError{};
}

QTextCursor Select(QTextDocument* doc, qsizetype start, qsizetype length) {
    if (length < 0) throw MarkupError{};
    QTextCursor c(doc);
    c.setPosition(static_cast<int>(start));
    c.setPosition(static_cast<int>(start + length), QTextCursor::KeepAnchor);
    return c;
}

// Removes the first occurrence of a tag anywhere in the document, keeping
// the formatting of everything around it.
void RemoveFirst(QTextDocument* doc, const QString& tag) {
    QTextCursor found = doc->find(tag, 0, QTextDocument::FindCaseSensitively);
    if (!found.isNull()) found.removeSelectedText();
}

void ApplyValue(Valued kind, const QString& value, QTextCursor& selection) {
    QTextCharFormat format;
    switch (kind) {
        case Valued::Font:
            format.setFontFamilies({value});
            selection.mergeCharFormat(format);
            break;
        case Valued::Size: {
            const auto n = WholeNumber(value);
            if (!n) throw MarkupError{};
            const double size = std::nearbyint(*n);
            if (size < 1 || size > 32767) throw MarkupError{};
            format.setFontPointSize(size);
            selection.mergeCharFormat(format);
            break;
        }
        case Valued::Color: {
            const auto n = WholeNumber(value);
            if (!n || *n < INT32_MIN || *n > INT32_MAX) throw MarkupError{};
            const auto color = ui::TranslateOleColor(static_cast<std::int32_t>(std::nearbyint(*n)));
            if (!color) throw MarkupError{};
            format.setForeground(*color);
            selection.mergeCharFormat(format);
            break;
        }
        case Valued::Align: {
            const QString v = value.toUpper();
            Qt::Alignment alignment;
            if (v == QLatin1String("LEFT")) alignment = Qt::AlignLeft;
            else if (v == QLatin1String("RIGHT")) alignment = Qt::AlignRight;
            else if (v == QLatin1String("CENTER")) alignment = Qt::AlignHCenter;
            else break;
            QTextBlockFormat block;
            block.setAlignment(alignment);
            selection.mergeBlockFormat(block);
            break;
        }
    }
}

void ValuedPass(QTextDocument* doc, Valued kind, const QString& open, const QString& close) {
    for (int count = 0; count < kMaxTagsPerKind; ++count) {
        const QString text = doc->toPlainText();
        const qsizetype p = text.indexOf(open);
        if (p < 0) return;
        const qsizetype c = text.indexOf(close, p);
        const qsizetype q = text.indexOf(QLatin1Char('>'), p + open.size());
        if (c < 0 || q < 0) throw MarkupError{};
        CheckPosition(c);
        CheckPosition(q);
        const QString value = text.mid(p + open.size(), q - p - open.size());
        const qsizetype n = open.size() + value.size() + 1;
        const qsizetype length = c - n - p;
        if (kind == Valued::Font) {
            // By position: the closing tag first so the opening one stays put.
            Select(doc, c, close.size()).removeSelectedText();
            Select(doc, p, n).removeSelectedText();
        } else {
            RemoveFirst(doc, text.mid(p, n));
            RemoveFirst(doc, close);
        }
        QTextCursor selection = Select(doc, p, length);
        ApplyValue(kind, value, selection);
    }
}

void PlainPass(QTextDocument* doc, Plain kind, const QString& word) {
    const QString open = QLatin1Char('<') + word + QLatin1Char('>');
    const QString close = QLatin1String("</") + word + QLatin1Char('>');
    for (int count = 0; count < kMaxTagsPerKind; ++count) {
        const QString text = doc->toPlainText();
        const qsizetype p = text.indexOf(open);
        if (p < 0) return;
        const qsizetype c = text.indexOf(close, p);
        if (c < 0) throw MarkupError{};
        CheckPosition(c);
        const qsizetype length = c - open.size() - p;
        RemoveFirst(doc, open);
        RemoveFirst(doc, close);
        QTextCursor selection = Select(doc, p, length);
        QTextCharFormat format;
        switch (kind) {
            case Plain::Bold: format.setFontWeight(QFont::Bold); break;
            case Plain::Underline: format.setFontUnderline(true); break;
            case Plain::Italic: format.setFontItalic(true); break;
            case Plain::Strike: format.setFontStrikeOut(true); break;
            case Plain::Bullet: {
                // Every paragraph the selection touches becomes a bullet.
                QTextBlock block = doc->findBlock(selection.selectionStart());
                const QTextBlock last = doc->findBlock(selection.selectionEnd());
                QTextList* list = nullptr;
                for (;; block = block.next()) {
                    if (!block.textList()) {
                        if (!list) {
                            QTextCursor at(block);
                            list = at.createList(QTextListFormat::ListDisc);
                        } else {
                            list->add(block);
                        }
                    }
                    if (block == last || !block.next().isValid()) break;
                }
                continue;
            }
        }
        selection.mergeCharFormat(format);
    }
}

}  // namespace

bool ApplyMsgBoxMarkup(QTextDocument* document) {
    if (!document) return false;
    try {
        ValuedPass(document, Valued::Font, QStringLiteral("<FONT="), QStringLiteral("</FONT>"));
        ValuedPass(document, Valued::Size, QStringLiteral("<SIZE="), QStringLiteral("</SIZE>"));
        ValuedPass(document, Valued::Color, QStringLiteral("<COLOR="), QStringLiteral("</COLOR>"));
        ValuedPass(document, Valued::Align, QStringLiteral("<ALIGN="), QStringLiteral("</ALIGN>"));
        PlainPass(document, Plain::Bold, QStringLiteral("B"));
        PlainPass(document, Plain::Underline, QStringLiteral("U"));
        PlainPass(document, Plain::Italic, QStringLiteral("I"));
        PlainPass(document, Plain::Strike, QStringLiteral("STRIKE"));
        PlainPass(document, Plain::Bullet, QStringLiteral("BULLET"));
    } catch (const MarkupError&) {
        return false;
    }
    return true;
}

}  // namespace corvane
