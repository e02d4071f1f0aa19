#include "session/shell/frm_popup_menu.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "ui/helpers/ilogo.h"
#include "ui/helpers/picture_box.h"
#include "ui/helpers/pointer_screen.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {
namespace {

constexpr int kInnerWidth = 2340;   // twips
constexpr int kInnerHeight = 2835;
constexpr int kBandWidth = 255;
constexpr int kItemLeft = 300;
constexpr int kItemWidth = 2040;
constexpr int kItemHeight = 255;

QPoint CursorPosition() { return QCursor::pos(); }

}  // namespace

frmPopupMenu::frmPopupMenu(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      pointer_(&CursorPosition),
      screen_([this] { return ScreenGeometryAt(pointer_()); }) {
    setObjectName(QStringLiteral("frmPopupMenu"));
    setFixedSize(ui::ToPixels(kInnerWidth, kInnerHeight));
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    picLogo_ = new PictureBox(this);
    picLogo_->setObjectName(QStringLiteral("picLogo"));
    picLogo_->setGeometry(0, 0, ui::ToPixelsX(kBandWidth), height());
    // The band's title in white bold over the dark gradient.
    QPalette band = picLogo_->palette();
    band.setColor(QPalette::WindowText, Qt::white);
    picLogo_->setPalette(band);
    QFont bandFont = picLogo_->font();
    bandFont.setBold(true);
    picLogo_->setFont(bandFont);
    for (int i = 0; i < kMenuItemCount; ++i) {
        auto* item = new QLabel(this);
        item->setObjectName(QStringLiteral("MenuItem%1").arg(i));
        item->setAutoFillBackground(true);
        item->setMouseTracking(true);
        item->setIndent(4);
        item->setGeometry(ui::ToPixelsX(kItemLeft), ui::ToPixelsY(kMenuItemTops[static_cast<std::size_t>(i)]),
                          ui::ToPixelsX(kItemWidth) - 2, ui::ToPixelsY(kItemHeight));
        item->installEventFilter(this);
        items_[static_cast<std::size_t>(i)] = item;
    }
    // Esc's button, out of sight.
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setGeometry(-10000, -10000, 10, 10);
    cmdCancel_->setFocusPolicy(Qt::NoFocus);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmPopupMenu::Unload);

    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &frmPopupMenu::Timer_Timer);
    SetLanguage();
}

void frmPopupMenu::Load() {
    formLoad_ = true;
    RunIgnoringErrors({
        [&] { for (QLabel* item : items_) item->setEnabled(true); },
        [&] {
            const QPoint at = pointer_();
            const QRect screen = screen_();
            place_ = PlaceMenu(at.x(), at.y(), width(), height(), screen.right() + 1,
                               screen.bottom() + 1);
            move(place_.left, place_.top);
            KeepOnScreen(this, screen);
        },
        [&] { timer_.start(); },
        [&] { DrawBand(); },
        [&] { HighlightItem(-1); },
    });
}

void frmPopupMenu::Unload() {
    timer_.stop();
    hide();
}

void frmPopupMenu::LoadUserOptions() {
    RunIgnoringErrors({[&] {
        MenuEnabling current{};
        for (int i = 0; i < kMenuItemCount; ++i) current[static_cast<std::size_t>(i)] = items_[static_cast<std::size_t>(i)]->isEnabled();
        const MenuEnabling next = MenuEnablingFor(
            {gRequireLogin, authenticated_, administrator_, PasswordCannotChange}, current);
        for (int i = 0; i < kMenuItemCount; ++i) items_[static_cast<std::size_t>(i)]->setEnabled(next[static_cast<std::size_t>(i)]);
        HighlightItem(-1);
    }});
}

void frmPopupMenu::SetLanguage() {
    RunIgnoringErrors({[&] {
        for (int i = 0; i < kMenuItemCount; ++i)
            items_[static_cast<std::size_t>(i)]->setText(
                QString::fromStdString(GetMessageText(kMenuItemMessages[static_cast<std::size_t>(i)], gLanguage)));
    }});
}

void frmPopupMenu::HighlightItem(int index) {
    const QPalette base = palette();
    for (int i = 0; i < kMenuItemCount; ++i) {
        QLabel* item = items_[static_cast<std::size_t>(i)];
        QPalette p = item->palette();
        const bool lit = i == index && item->isEnabled();
        p.setColor(QPalette::Window, lit ? base.color(QPalette::Highlight) : base.color(QPalette::Window));
        const QColor text = lit ? QColor(Qt::white)
                                : item->isEnabled() ? QColor(Qt::black)
                                                    : base.color(QPalette::Disabled, QPalette::WindowText);
        p.setColor(QPalette::Active, QPalette::WindowText, text);
        p.setColor(QPalette::Inactive, QPalette::WindowText, text);
        p.setColor(QPalette::Disabled, QPalette::WindowText, text);
        item->setPalette(p);
    }
}

void frmPopupMenu::Timer_Timer() {
    RunIgnoringErrors({[&] {
        const QPoint at = pointer_();
        if (!PointerOnMenu(place_, width(), height(), at.x(), at.y())) Unload();
    }});
}

void frmPopupMenu::Choose(int index) {
    if (index < 0 || index >= kMenuItemCount) return;
    if (items_[static_cast<std::size_t>(index)]->isEnabled()) emit Selected(static_cast<std::int16_t>(index));
    Unload();
}

void frmPopupMenu::DrawBand() {
    picLogo_->setGeometry(0, 0, picLogo_->width(), height());
    ILogo logo;
    logo.SetCaption(QString::fromStdString(gProductName.empty() ? "Corvane Standard" : gProductName));
    logo.SetStartColor(0xFF0000);  // pure blue, red in the low byte
    logo.SetEndColor(0);
    logo.ShowLogoBar(this, picLogo_, QString());
}

bool frmPopupMenu::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < kMenuItemCount; ++i) {
        QLabel* item = items_[static_cast<std::size_t>(i)];
        if (watched != item || !item->isEnabled()) continue;
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
            HighlightItem(i);
            SelectedIndex = static_cast<std::int16_t>(i);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            Choose(i);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmPopupMenu::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        if (SelectedIndex > 0) HighlightItem(--SelectedIndex);
        break;
    case Qt::Key_Down:
        if (SelectedIndex < kMenuItemCount - 1) HighlightItem(++SelectedIndex);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Choose(SelectedIndex);
        break;
    case Qt::Key_Escape:
        cmdCancel_->click();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmPopupMenu::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (formLoad_) {
        formLoad_ = false;
        SetLanguage();
    }
    activateWindow();
    setFocus();
}

void frmPopupMenu::closeEvent(QCloseEvent* event) {
    // Closed with the other windows (a login, a log-off): the watch stops too.
    timer_.stop();
    QWidget::closeEvent(event);
}

void frmPopupMenu::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    // A frameless window needs its own edge to stand out from the desktop.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const int left = picLogo_->width() + 2;
    for (int top : kMenuSeparatorTops) {
        const int y = ui::ToPixelsY(top);
        painter.setPen(palette().color(QPalette::Inactive, QPalette::Mid));
        painter.drawLine(left, y, width() - 3, y);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(left, y + 1, width() - 3, y + 1);
    }
}

}  // namespace corvane
