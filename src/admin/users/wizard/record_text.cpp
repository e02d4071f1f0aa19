#include "admin/users/wizard/record_text.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include "session/login/login_boxes.h"

namespace corvane {

void LimitRecordText(QPlainTextEdit* box, int maxLength) {
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, maxLength] {
        const RecordTextValidator holdable;
        const QString text = box->toPlainText();
        QString kept;
        for (const QChar c : text) {
            QString one(c);
            int position = 0;
            if (kept.size() < maxLength && !c.isSurrogate() &&
                holdable.validate(one, position) == QValidator::Acceptable)
                kept += c;
        }
        if (kept == text) return;
        const int position = std::min(static_cast<int>(box->textCursor().position()), static_cast<int>(kept.size()));
        box->setPlainText(kept);
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(position);
        box->setTextCursor(cursor);
    });
}

}  // namespace corvane
