#include "ui/helpers/quick_view_card.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {

QuickViewCard::QuickViewCard(const QString& name, double widthTwips, double heightTwips, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(name);
    setFixedSize(ui::ToPixels(widthTwips, heightTwips));
    setFont(CardFont(8.25, false));
    QPalette card = palette();
    card.setColor(QPalette::Window, QColor(253, 255, 225));
    card.setColor(QPalette::WindowText, Qt::black);
    setPalette(card);
    setAutoFillBackground(true);

    shape_ = new QFrame(this);
    shape_->setObjectName(QStringLiteral("Shape"));
    shape_->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape_->setAttribute(Qt::WA_TransparentForMouseEvents);
    shape_->setGeometry(rect());
}

QFont QuickViewCard::CardFont(double points, bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void QuickViewCard::PlaceAt(QPoint topLeft, const QRect& screen) {
    move(topLeft);
    KeepOnScreen(this, screen);
}

QLabel* QuickViewCard::AddLabel(const QString& name, const ui::TwipsRect& place) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(ui::ToPixels(place));
    return label;
}

void QuickViewCard::KeepOpenOnClick(QWidget* control) {
    keepOpen_.push_back(control);
    control->installEventFilter(this);
}

void QuickViewCard::FitCaptions() {
    const QList<QLabel*> labels = findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    const int gap = ui::ToPixelsX(60);
    for (QLabel* caption : labels) {
        if (!caption->font().bold() || caption->text().isEmpty()) continue;
        const int needed = std::min(caption->sizeHint().width(), width() - caption->x());
        if (caption->width() >= needed) continue;
        caption->resize(needed, caption->height());
        const QRect own = caption->geometry();
        for (QLabel* other : labels) {
            const QRect at = other->geometry();
            // Rows overlap by a pixel or two: a label is on the caption's row by its middle.
            const bool sameRow = at.center().y() >= own.top() && at.center().y() <= own.bottom();
            if (other == caption || !sameRow || at.left() <= own.left() || at.left() > own.right() + gap) continue;
            const int left = own.right() + 1 + gap;
            other->setGeometry(left, at.top(), std::max(0, at.right() + 1 - left), at.height());
        }
    }
}

void QuickViewCard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitCaptions();
    activateWindow();
    if (focusHolder_) focusHolder_->setFocus();
}

void QuickViewCard::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    // Only a card that has been active can lose the focus.
    if (isActiveWindow())
        wasActive_ = true;
    else if (wasActive_ && isVisible())
        hide();
}

bool QuickViewCard::eventFilter(QObject* watched, QEvent* event) {
    if (std::find(keepOpen_.begin(), keepOpen_.end(), watched) != keepOpen_.end()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QuickViewCard::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        hide();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

}  // namespace corvane
