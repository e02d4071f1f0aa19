#pragma once

#include <QString>

class QUrl;
class QWidget;

namespace corvane {

// The page's own boxes (alert, confirm, prompt, and the engine's "leave this page?" box of
// beforeunload, which comes as a confirm), shown by Corvane as its other dialogs are: each a
// counted dialog in its own loop, so a session's end ends it before its window goes. The page's
// text is shown as plain text, under the address of the page that asked.
void ShowPageAlert(QWidget* parent, const QUrl& origin, const QString& text);
bool AskPageConfirm(QWidget* parent, const QUrl& origin, const QString& text);
// False when cancelled (also by a session's end); otherwise the typed text is in *answer.
bool AskPagePrompt(QWidget* parent, const QUrl& origin, const QString& text, const QString& defaultValue,
                   QString* answer);

}  // namespace corvane
