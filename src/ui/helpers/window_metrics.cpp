#include "ui/helpers/window_metrics.h"

#include <QWidget>
#include <cmath>

#include "ui_core/form_metrics.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

// Sizes are of the client area and the position is the frame's, as Qt moves
// and sizes windows: values saved from a shown window restore exactly into
// one still loading, whose frame is not known yet.
ui::FormMetricsValues CurrentMetrics(const QWidget* form) {
    const bool normal = !(form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    QRect client = form->geometry();
    QPoint topLeft = form->pos();
    if (!normal) {
        // Keep the size the window returns to, not the maximised one.
        const QPoint frameOffset = form->geometry().topLeft() - form->pos();
        client = form->normalGeometry();
        topLeft = client.topLeft() - frameOffset;
    }
    ui::FormMetricsValues v;
    v.height = ui::ToTwipsY(client.height());
    v.width = ui::ToTwipsX(client.width());
    v.top = ui::ToTwipsY(topLeft.y());
    v.left = ui::ToTwipsX(topLeft.x());
    v.windowState = form->windowState() & Qt::WindowMinimized   ? 1
                    : form->windowState() & Qt::WindowMaximized ? 2
                                                                : 0;
    return v;
}

}  // namespace

void LoadFormMetrics(QWidget* form) {
    if (!form) return;
    const std::string name = form->objectName().toStdString();
    const ui::FormMetricsValues current = CurrentMetrics(form);
    const ui::FormMetricsValues v = ui::ReadFormMetrics(name, current);
    if (v == current) return;
    const QSize size(ui::ToPixelsX(v.width), ui::ToPixelsY(v.height));
    if (size.width() > 0 && size.height() > 0) form->resize(size);
    form->move(ui::ToPixelsX(v.left), ui::ToPixelsY(v.top));
    Qt::WindowStates state = form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (v.windowState == 1) state |= Qt::WindowMinimized;
    if (v.windowState == 2) state |= Qt::WindowMaximized;
    form->setWindowState(state);
}

void SaveFormMetrics(QWidget* form) {
    if (!form) return;
    ui::WriteFormMetrics(form->objectName().toStdString(), CurrentMetrics(form));
}

}  // namespace corvane
