#include "admin/users/editor/field_box.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QValidator>

#include "platform/core/cp1252.h"

namespace corvane {

namespace {

bool Holdable(char32_t c) {
    if (c == U'?') return true;
    const QString one = QString::fromUcs4(&c, 1);
    return cp1252::FromUtf8(one.toStdString()) != "?";
}

bool AllHoldable(const QString& text) {
    for (const char32_t c : text.toUcs4())
        if (!Holdable(c)) return false;
    return true;
}

class RecordTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return AllHoldable(input) ? Acceptable : Invalid; }
};

}  // namespace

void LimitToField(QLineEdit* box, int width) {
    box->setMaxLength(width);
    box->setValidator(new RecordTextValidator(box));
}

void LimitToField(QPlainTextEdit* box, int width) {
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, width] {
        const QString text = box->toPlainText();
        QString kept;
        int count = 0;
        for (const char32_t c : text.toUcs4()) {
            if (count == width) break;
            if (!Holdable(c)) continue;
            kept += QString::fromUcs4(&c, 1);
            ++count;
        }
        if (kept == text) return;
        const int position = std::min(box->textCursor().position(), static_cast<int>(kept.size()));
        {
            const QSignalBlocker quiet(box);
            box->setPlainText(kept);
        }
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(position);
        box->setTextCursor(cursor);
        // Listeners hear once, of the text as kept.
        emit box->textChanged();
    });
}

}  // namespace corvane
