#include "admin/users/wizard/record_text.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include "platform/core/cp1252.h"

namespace corvane {
namespace {

bool Holdable(const QString& text) {
    const std::string utf8 = text.toStdString();
    return cp1252::ToUtf8(cp1252::FromUtf8(utf8)) == utf8;
}

}  // namespace

QValidator::State RecordTextValidator::validate(QString& input, int&) const {
    return Holdable(input) ? Acceptable : Invalid;
}

void LimitRecordText(QPlainTextEdit* box, int maxLength) {
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, maxLength] {
        const QString text = box->toPlainText();
        QString kept;
        for (const QChar c : text)
            if (kept.size() < maxLength && !c.isSurrogate() && Holdable(QString(c))) kept += c;
        if (kept == text) return;
        const int position = std::min(static_cast<int>(box->textCursor().position()), static_cast<int>(kept.size()));
        box->setPlainText(kept);
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(position);
        box->setTextCursor(cursor);
    });
}

}  // namespace corvane
