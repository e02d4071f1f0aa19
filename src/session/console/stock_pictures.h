#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

namespace corvane {

// The console's image lists hold 37 stock pictures; six carry the keys of the
// fixed items and the keyless 35th stands for a program whose file yields no
// icon. File icons are appended behind them.
inline constexpr int kStockPictureCount = 37;
inline constexpr int kFallbackPicture = 35;

struct ImageList {
    int size = 16;
    QList<QIcon> icons;
    QStringList keys;  // of the stock pictures; "" where a picture has none

    // 1-based position of the picture with that key; 0 when none has it.
    int Index(const QString& key) const;
    // The picture at a 1-based position; a null icon outside the list.
    QIcon Picture(int position) const;
};

// The stock pictures drawn at pixels square.
ImageList StockPictures(int pixels);

// The tool bar's pictures: Large Icons, Small Icons, List, Details, Refresh,
// Help and Exit.
enum class ToolPicture { LargeIcons, SmallIcons, List, Details, Refresh, Help, Exit };
QIcon ToolBarPicture(ToolPicture picture);

// The product's picture of the about window.
QPixmap ProductPicture(int pixels);

}  // namespace corvane
