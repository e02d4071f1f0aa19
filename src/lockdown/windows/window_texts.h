#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

namespace corvane {

// A message of the catalogue in the current language.
QString MessageText(int number);

// The restart notice's picture.
QPixmap RestartNoticePixmap(const QWidget* window);

}  // namespace corvane
