#include "session/console/stock_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <functional>

namespace corvane {
namespace {

// Everything is drawn on a 32-unit square and scaled to the size asked for.
using Drawing = std::function<void(QPainter&)>;

QPixmap Draw(int pixels, const Drawing& drawing) {
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels / 32.0, pixels / 32.0);
    drawing(p);
    return pixmap;
}

void Globe(QPainter& p) {
    p.setPen(QPen(QColor(20, 70, 160), 2));
    p.setBrush(QColor(110, 170, 240));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3, 12, 26));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
    p.drawLine(QPointF(6, 9), QPointF(26, 9));
    p.drawLine(QPointF(6, 23), QPointF(26, 23));
}

void People(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 200));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setBrush(QColor(255, 220, 170));
    p.drawEllipse(QRectF(6, 6, 8, 8));
    p.drawEllipse(QRectF(18, 6, 8, 8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(4, 16, 12, 11), 4, 4);
    p.drawRoundedRect(QRectF(16, 16, 12, 11), 4, 4);
}

void Shield(QPainter& p) {
    QPainterPath path;
    path.moveTo(16, 2);
    path.lineTo(28, 7);
    path.cubicTo(28, 19, 23, 26, 16, 30);
    path.cubicTo(9, 26, 4, 19, 4, 7);
    path.closeSubpath();
    p.setPen(QPen(QColor(120, 20, 20), 2));
    p.setBrush(QColor(210, 50, 40));
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 215, 0));
    p.drawRect(QRectF(11, 14, 10, 8));
    p.setPen(QPen(QColor(255, 215, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(12, 8, 8, 10), 0, 180 * 16);
}

void Gear(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 110, 120));
    p.translate(16, 16);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-3, -15, 6, 8));
        p.rotate(45);
    }
    p.drawEllipse(QRectF(-10, -10, 20, 20));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(-4, -4, 8, 8));
    p.resetTransform();
}

void Key(QPainter& p) {
    p.setPen(QPen(QColor(150, 110, 0), 2));
    p.setBrush(QColor(240, 200, 40));
    p.drawEllipse(QRectF(3, 5, 13, 13));
    p.drawRect(QRectF(14, 10, 15, 4));
    p.drawRect(QRectF(23, 14, 3, 6));
    p.drawRect(QRectF(18, 14, 3, 4));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 9, 5, 5));
}

void Door(QPainter& p) {
    p.setPen(QPen(QColor(90, 50, 20), 2));
    p.setBrush(QColor(170, 110, 60));
    p.drawRect(QRectF(4, 3, 15, 26));
    p.setBrush(QColor(255, 220, 80));
    p.drawEllipse(QRectF(15, 15, 3, 3));
    p.setPen(QPen(QColor(0, 140, 0), 3));
    p.drawLine(QPointF(14, 16), QPointF(29, 16));
    p.drawLine(QPointF(24, 11), QPointF(29, 16));
    p.drawLine(QPointF(24, 21), QPointF(29, 16));
}

// A program window: the picture of a program without an icon of its own.
void ProgramWindow(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 5, 26, 22));
    p.setBrush(QColor(0, 0, 160));
    p.drawRect(QRectF(3, 5, 26, 6));
    p.setPen(QPen(QColor(150, 150, 150), 1.5));
    p.drawLine(QPointF(7, 16), QPointF(25, 16));
    p.drawLine(QPointF(7, 21), QPointF(20, 21));
}

// The pictures no item names: tiles in a colour of their own.
void Tile(QPainter& p, int n) {
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(QColor::fromHsv((n * 37) % 360, 120, 220));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 4, 4);
}

}  // namespace

int ImageList::Index(const QString& key) const {
    if (key.isEmpty()) return 0;
    const int i = static_cast<int>(keys.indexOf(key));
    return i < 0 ? 0 : i + 1;
}

QIcon ImageList::Picture(int position) const {
    if (position < 1 || position > icons.size()) return {};
    return icons.at(position - 1);
}

ImageList StockPictures(int pixels) {
    struct Keyed {
        int position;
        const char* key;
        void (*draw)(QPainter&);
    };
    static constexpr std::array<Keyed, 6> keyed{{
        {1, "web browser", Globe},
        {2, "corvane", People},
        {3, "security", Shield},
        {4, "options", Gear},
        {5, "password", Key},
        {6, "way out", Door},
    }};
    ImageList list;
    list.size = pixels;
    for (int n = 1; n <= kStockPictureCount; ++n) {
        QString key;
        Drawing drawing = [n](QPainter& p) { Tile(p, n); };
        for (const auto& k : keyed)
            if (k.position == n) {
                key = QString::fromLatin1(k.key);
                drawing = k.draw;
            }
        if (n == kFallbackPicture) drawing = ProgramWindow;
        list.icons.append(QIcon(Draw(pixels, drawing)));
        list.keys.append(key);
    }
    return list;
}

QIcon ToolBarPicture(ToolPicture picture) {
    const auto squares = [](int columns, int rows, double cell) {
        return [=](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 90, 170));
            const double gap = (32 - columns * cell) / (columns + 1);
            const double vgap = (32 - rows * cell) / (rows + 1);
            for (int c = 0; c < columns; ++c)
                for (int r = 0; r < rows; ++r)
                    p.drawRect(QRectF(gap + c * (cell + gap), vgap + r * (cell + vgap), cell, cell));
        };
    };
    const auto lines = [](bool details) {
        return [=](QPainter& p) {
            for (int r = 0; r < 4; ++r) {
                const double y = 5 + r * 7;
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(40, 90, 170));
                p.drawRect(QRectF(3, y, 5, 5));
                p.setPen(QPen(QColor(60, 60, 60), 2));
                p.drawLine(QPointF(11, y + 2.5), QPointF(details ? 19 : 28, y + 2.5));
                if (details) p.drawLine(QPointF(22, y + 2.5), QPointF(29, y + 2.5));
            }
        };
    };
    Drawing drawing;
    switch (picture) {
        case ToolPicture::LargeIcons: drawing = squares(2, 2, 11); break;
        case ToolPicture::SmallIcons: drawing = squares(3, 3, 6); break;
        case ToolPicture::List: drawing = lines(false); break;
        case ToolPicture::Details: drawing = lines(true); break;
        case ToolPicture::Refresh:
            drawing = [](QPainter& p) {
                p.setPen(QPen(QColor(0, 130, 0), 3.5));
                p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 280 * 16);
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0, 130, 0));
                p.drawPolygon(QPolygonF({QPointF(19, 1), QPointF(27, 7), QPointF(18, 12)}));
            };
            break;
        case ToolPicture::Help:
            drawing = [](QPainter& p) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(40, 90, 170));
                p.drawEllipse(QRectF(3, 3, 26, 26));
                p.setPen(Qt::white);
                QFont font = p.font();
                font.setPixelSize(20);
                font.setBold(true);
                p.setFont(font);
                p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
            };
            break;
        case ToolPicture::Exit: drawing = Door; break;
    }
    QIcon icon;
    for (int size : {16, 24, 32}) icon.addPixmap(Draw(size, drawing));
    return icon;
}

QPixmap ProductPicture(int pixels) { return Draw(pixels, Shield); }

}  // namespace corvane
