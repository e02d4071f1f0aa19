#pragma once

#include <QValidator>

class QPlainTextEdit;

namespace corvane {

// Lets into a box only characters the record files can hold (Windows-1252),
// so that nothing typed is stored as "?".
class RecordTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// The same for a multi-line box, which also takes at most maxLength
// characters: what does not fit or cannot be held is taken out again.
void LimitRecordText(QPlainTextEdit* box, int maxLength);

}  // namespace corvane
