#pragma once

class QLineEdit;
class QPlainTextEdit;

namespace corvane {

// Text boxes over fixed-width record fields: at most width characters, and only characters
// the record files can hold (Windows-1252), so nothing typed is cut or changed silently.
void LimitToField(QLineEdit* box, int width);
// The same for a several-line box: what goes past the width or cannot be held is taken out
// as it is typed or pasted.
void LimitToField(QPlainTextEdit* box, int width);

}  // namespace corvane
