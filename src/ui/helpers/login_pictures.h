#pragma once

#include <QPixmap>

namespace corvane {

// The login window's own pictures, drawn rather than loaded so that the
// program carries no image files: a padlock for the banner, a person with a
// key beside the boxes, and the Caps Lock warning.
QPixmap BannerLockPicture(int size);
QPixmap LoginPersonPicture(int size);
QPixmap CapsLockPicture(int size);

}  // namespace corvane
