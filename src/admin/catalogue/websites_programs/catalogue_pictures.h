#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

namespace corvane {

// The design images of a catalogue window's small-icon list: 4 a website,
// 5 a program.
QList<QIcon> CatalogueSmallIcons();
// The picture under a catalogue window's buttons.
QPixmap WebsitesPicture();
QPixmap ProgramsPicture();

}  // namespace corvane
