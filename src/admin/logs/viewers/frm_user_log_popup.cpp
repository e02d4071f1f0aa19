#include "admin/logs/viewers/frm_user_log_popup.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "ui/helpers/pointer_screen.h"
#include "ui/helpers/screen_metrics.h"

namespace corvane {
namespace {

// Sizes and places in twips.
constexpr int kInnerWidth = 4995;
constexpr int kInnerHeight = 1575;
constexpr std::array<int, frmUserLogPopup::kRows> kRowTops{15, 210, 420, 660, 900, 1110, 1320};
constexpr const char* kValueNames[frmUserLogPopup::kRows] = {
    "lblUserLogin", "lblUserName", "lblApplication", "lblComputer", "lblLoginStamp", "lblLogoutStamp", "lblSuccess"};
constexpr int kSuccessRow = 6;

QFont CardFont(double points, bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel* NewLabel(QWidget* parent, const QString& name, double left, double top, double width, double height) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(ui::ToPixels({left, top, width, height}));
    return label;
}

QPoint PlaceBesidePointer(QPoint pointer, QSize card, const QRect& screen) {
    QPoint place = pointer;
    if (pointer.x() + card.width() > screen.x() + screen.width()) place.rx() -= card.width();
    if (pointer.y() + card.height() > screen.y() + screen.height()) place.ry() -= card.height();
    return place;
}

}  // namespace

frmUserLogPopup::frmUserLogPopup(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmUserLogPopup"));
    setFixedSize(ui::ToPixels(kInnerWidth, kInnerHeight));
    setFont(CardFont(8.25, false));
    QPalette card = palette();
    card.setColor(QPalette::Window, QColor(253, 255, 225));
    card.setColor(QPalette::WindowText, Qt::black);
    setPalette(card);
    setAutoFillBackground(true);

    // Keeps the keyboard focus out of sight, so Esc reaches the card.
    text3_ = new QLineEdit(this);
    text3_->setObjectName(QStringLiteral("Text3"));
    text3_->setGeometry(ui::ToPixels({-500, 0, 375, 285}));
    cmdCancel_ = new QPushButton(QStringLiteral("X"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setGeometry(ui::ToPixels({-10000, -10000, 250, 250}));
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::hide);
    setTabOrder(text3_, cmdCancel_);

    shape_ = new QFrame(this);
    shape_->setObjectName(QStringLiteral("Shape"));
    shape_->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape_->setAttribute(Qt::WA_TransparentForMouseEvents);
    shape_->setGeometry(rect());

    lblCancel_ = NewLabel(this, QStringLiteral("lblCancel"), 4680, 0, 225, 255);
    lblCancel_->setText(QStringLiteral("X"));
    lblCancel_->setFont(CardFont(12, true));
    for (int row = 0; row < kRows; ++row) {
        const std::size_t r = static_cast<std::size_t>(row);
        lblDetails_[r] = NewLabel(this, QStringLiteral("lblDetails%1").arg(row), 30, kRowTops[r],
                                  row < 3 ? 2000 : 1995, 255);
        lblDetails_[r]->setFont(CardFont(8.25, true));
        values_[r] = NewLabel(this, QString::fromLatin1(kValueNames[r]), 2160, kRowTops[r], 2505, 225);
    }
    // Labels pass their clicks on to the card, which hides; the Active value keeps its own.
    values_[kSuccessRow]->installEventFilter(this);

    const PointerScreen at = CurrentPointerScreen();
    move(PlaceBesidePointer(at.pointer, size(), at.screen));
}

void frmUserLogPopup::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    activateWindow();
    text3_->setFocus();
}

void frmUserLogPopup::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    // Only a card that has been active can lose the focus.
    if (isActiveWindow())
        wasActive_ = true;
    else if (wasActive_ && isVisible())
        hide();
}

bool frmUserLogPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == values_[kSuccessRow]) {
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

void frmUserLogPopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmUserLogPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        hide();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

}  // namespace corvane
