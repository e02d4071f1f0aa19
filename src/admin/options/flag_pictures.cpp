#include "admin/options/flag_pictures.h"

#include <QPainter>

namespace corvane::options {
namespace {

constexpr int kWidth = 24, kHeight = 16;

void Stripes(QPainter& p, std::initializer_list<QColor> colours, bool vertical) {
    const int n = static_cast<int>(colours.size());
    int i = 0;
    for (const QColor& c : colours) {
        if (vertical)
            p.fillRect(kWidth * i / n, 0, kWidth * (i + 1) / n - kWidth * i / n, kHeight, c);
        else
            p.fillRect(0, kHeight * i / n, kWidth, kHeight * (i + 1) / n - kHeight * i / n, c);
        ++i;
    }
}

}  // namespace

QPixmap FlagPicture(int language) {
    QPixmap flag(kWidth, kHeight);
    flag.fill(Qt::white);
    QPainter p(&flag);
    const QColor red(200, 16, 46), blue(0, 40, 104), white(Qt::white);
    switch (language) {
        case 0:
            for (int row = 0; row < 13; ++row)
                p.fillRect(0, row * kHeight / 13, kWidth, (row + 1) * kHeight / 13 - row * kHeight / 13,
                           row % 2 ? white : red);
            p.fillRect(0, 0, kWidth * 2 / 5, kHeight * 7 / 13, blue);
            break;
        case 1:
            p.fillRect(flag.rect(), blue);
            p.setPen(QPen(white, 4));
            p.drawLine(0, 0, kWidth, kHeight);
            p.drawLine(kWidth, 0, 0, kHeight);
            p.fillRect(kWidth / 2 - 3, 0, 6, kHeight, white);
            p.fillRect(0, kHeight / 2 - 3, kWidth, 6, white);
            p.fillRect(kWidth / 2 - 2, 0, 4, kHeight, red);
            p.fillRect(0, kHeight / 2 - 2, kWidth, 4, red);
            break;
        case 2: Stripes(p, {blue, white, red}, true); break;
        case 3: Stripes(p, {Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)}, false); break;
        case 4: Stripes(p, {QColor(0, 146, 70), white, QColor(206, 43, 55)}, true); break;
        default:
            Stripes(p, {QColor(170, 21, 27), QColor(241, 191, 0), QColor(241, 191, 0), QColor(170, 21, 27)}, false);
            break;
    }
    p.setPen(Qt::gray);
    p.drawRect(0, 0, kWidth - 1, kHeight - 1);
    return flag;
}

}  // namespace corvane::options
