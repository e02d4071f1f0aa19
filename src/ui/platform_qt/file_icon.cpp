#include "ui/platform_qt/file_icon.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>

#include "platform/system/file_helpers.h"

namespace corvane {

QIcon FileIcon(const std::string& fileName) {
    const QFileInfo info(QString::fromStdString(NativePath(fileName)));
    QFileIconProvider provider;
    QIcon icon = info.exists() ? provider.icon(info) : QIcon();
    if (icon.isNull()) icon = provider.icon(QFileIconProvider::File);
    return icon;
}

int ExtractIcon(const std::string& fileName, QList<QIcon>* addToImageList, QLabel* pictureBox,
                int& pixelsXY) {
    if (pixelsXY == 0) pixelsXY = 16;
    const QIcon icon = FileIcon(fileName);
    if (icon.isNull()) return 0;
    if (pictureBox) {
        pictureBox->setFixedSize(pixelsXY, pixelsXY);
        pictureBox->setPixmap(icon.pixmap(pixelsXY, pixelsXY));
    }
    if (!addToImageList) return 0;
    addToImageList->append(icon);
    return static_cast<int>(addToImageList->size());
}

}  // namespace corvane
