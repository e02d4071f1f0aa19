#include "ui/window_metrics.h"

#include <QWidget>
#include <cmath>

#include "ui/form_metrics.h"
#include "ui/screen_metrics.h"

namespace corvane {
namespace {

// The frame the window system puts around the client area, in pixels.
QSize FrameExtra(const QWidget* form) {
    return form->frameGeometry().size() - form->geometry().size();
}

ui::FormMetricsValues CurrentMetrics(const QWidget* form) {
    const bool normal = !(form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    const QRect client = normal ? form->geometry() : form->normalGeometry();
    const QSize outer = client.size() + FrameExtra(form);
    const QPoint topLeft = normal ? form->pos() : client.topLeft();
    ui::FormMetricsValues v;
    v.height = ui::ToTwipsY(outer.height());
    v.width = ui::ToTwipsX(outer.width());
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
    const QSize outer(ui::ToPixelsX(v.width), ui::ToPixelsY(v.height));
    const QSize client = outer - FrameExtra(form);
    if (client.width() > 0 && client.height() > 0) form->resize(client);
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
