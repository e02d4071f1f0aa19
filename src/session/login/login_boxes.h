#pragma once

#include <QValidator>

class QLineEdit;
class QWidget;

namespace corvane {

// Lets into a box only characters the record files can hold (Windows-1252),
// so that nothing typed is stored as "?".
class RecordTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// A login or password box: at most 20 characters the record files can hold;
// a masked box shows each character as "*".
QLineEdit* NewLoginBox(QWidget* parent, const char* name, bool masked);

}  // namespace corvane
