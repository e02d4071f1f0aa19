#pragma once

class QPlainTextEdit;

namespace corvane {

// A multi-line box that takes at most maxLength characters, each one the
// record files can hold (Windows-1252): what does not fit or cannot be held
// is taken out again, so nothing is stored as "?".
void LimitRecordText(QPlainTextEdit* box, int maxLength);

}  // namespace corvane
