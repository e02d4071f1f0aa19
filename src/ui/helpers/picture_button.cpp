#include "ui/helpers/picture_button.h"

#include <QPushButton>

namespace corvane {

QPushButton* NewPictureButton(QWidget* parent, const char* objectName, const char* what,
                              QStyle::StandardPixmap picture) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setIcon(parent->style()->standardIcon(picture));
    button->setAccessibleName(QLatin1String(what));
    button->setAutoDefault(false);
    return button;
}

}  // namespace corvane
