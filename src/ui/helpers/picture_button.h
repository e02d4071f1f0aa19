#pragma once

#include <QStyle>

class QPushButton;
class QWidget;

namespace corvane {

// A button that shows a picture of the style's instead of a caption; what it
// does is its accessible name. It never becomes the default button.
QPushButton* NewPictureButton(QWidget* parent, const char* objectName, const char* what,
                              QStyle::StandardPixmap picture);

}  // namespace corvane
