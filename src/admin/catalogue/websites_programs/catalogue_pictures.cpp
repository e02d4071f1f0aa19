#include "admin/catalogue/websites_programs/catalogue_pictures.h"

#include <QApplication>
#include <QStyle>

namespace corvane {
namespace {

QIcon Standard(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }

}  // namespace

QList<QIcon> CatalogueSmallIcons() {
    return {Standard(QStyle::SP_DirIcon), Standard(QStyle::SP_FileIcon), Standard(QStyle::SP_DesktopIcon),
            Standard(QStyle::SP_DriveNetIcon), Standard(QStyle::SP_ComputerIcon)};
}

QPixmap WebsitesPicture() { return Standard(QStyle::SP_DriveNetIcon).pixmap(48, 48); }
QPixmap ProgramsPicture() { return Standard(QStyle::SP_ComputerIcon).pixmap(48, 48); }

}  // namespace corvane
