#include "admin/options/network_images.h"

#include <QStyle>
#include <array>
#include <utility>

namespace corvane::options {
namespace {

constexpr std::array<std::pair<const char*, QStyle::StandardPixmap>, 13> kImages{{
    {"directory", QStyle::SP_DirIcon},
    {"root", QStyle::SP_DriveNetIcon},
    {"group", QStyle::SP_DirLinkIcon},
    {"ndscontainer", QStyle::SP_DirClosedIcon},
    {"network", QStyle::SP_DriveNetIcon},
    {"server", QStyle::SP_ComputerIcon},
    {"tree", QStyle::SP_FileDialogListView},
    {"domain", QStyle::SP_DirHomeIcon},
    {"share", QStyle::SP_DirLinkIcon},
    {"adminshare", QStyle::SP_DriveHDIcon},
    {"printer", QStyle::SP_FileDialogDetailedView},
    {"folder", QStyle::SP_DirClosedIcon},
    {"file", QStyle::SP_FileIcon},
}};

}  // namespace

bool HasNetworkImage(const QString& key) {
    for (const auto& [name, pixmap] : kImages)
        if (key == QLatin1String(name)) return true;
    return false;
}

QIcon NetworkImage(const QStyle* style, const QString& key) {
    for (const auto& [name, pixmap] : kImages)
        if (key == QLatin1String(name)) return style->standardIcon(pixmap);
    return {};
}

}  // namespace corvane::options
