#pragma once

#include <QPixmap>

namespace corvane {

// The pictures of the user windows, drawn rather than shipped: a person
// (the banner and the enabled rows), the same crossed out (disabled rows).
QPixmap UserPicture(int size, bool disabled = false);
// A key, for the password frame.
QPixmap KeyPicture(int size);
// A document with lines, for the catalogue and log frames.
QPixmap ListPicture(int size, const QColor& accent);

}  // namespace corvane
