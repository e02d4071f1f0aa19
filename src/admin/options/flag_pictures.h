#pragma once

#include <QPixmap>

namespace corvane::options {

// A small flag beside each language button: 0 US, 1 UK, 2 French, 3 German,
// 4 Italian, 5 Spanish.
QPixmap FlagPicture(int language);

}  // namespace corvane::options
