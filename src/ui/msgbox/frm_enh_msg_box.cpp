#include "ui/msgbox/frm_enh_msg_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <algorithm>
#include <memory>

#include "platform/core/event_loop.h"
#include "ui/helpers/big_timer.h"
#include "ui/helpers/nested_dialogs.h"
#include "ui_core/help.h"
#include "messages/message_catalogue.h"
#include "ui_core/msgbox/msgbox_layout.h"
#include "ui/msgbox/msgbox_markup.h"
#include "ui/helpers/ole_color.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_metrics.h"

namespace corvane {
namespace {

QFont BoxFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    return font;
}

QFont ToQFont(const MsgBoxFont& f) {
    QFont font(QString::fromStdString(f.name));
    if (f.pointSize > 0) font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

// A line break of the prompt, as the label shows it.
QString LabelText(const std::string& prompt) {
    QString text = QString::fromStdString(prompt);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int IconIndex(ui::MsgBoxIcon icon) {
    switch (icon) {
        case ui::MsgBoxIcon::Critical: return 0;
        case ui::MsgBoxIcon::Question: return 1;
        case ui::MsgBoxIcon::Exclamation: return 2;
        case ui::MsgBoxIcon::Information: return 3;
        case ui::MsgBoxIcon::None: break;
    }
    return -1;
}

void SetColor(QWidget* w, QPalette::ColorRole role, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(role, color);
    w->setPalette(p);
}

}  // namespace

frmEnhMsgBox::frmEnhMsgBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmEnhMsgBox"));
    setFont(BoxFont());
    setFixedSize(ui::ToPixels(ui::kMsgBoxClientWidth, ui::kMsgBoxClientHeight));

    const ui::MsgBoxLayout design;
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("cmdButton%1").arg(i));
        b->setGeometry(ui::ToPixels(design.buttons[static_cast<std::size_t>(i)]));
        b->setAutoDefault(true);
        b->hide();
        connect(b, &QPushButton::clicked, this, [this, i] { ButtonPressed(i); });
        buttons_[static_cast<std::size_t>(i)] = b;
    }

    txtMessage_ = new QTextEdit(this);
    txtMessage_->setObjectName(QStringLiteral("txtMessage"));
    txtMessage_->setGeometry(ui::ToPixels(design.text));
    txtMessage_->setReadOnly(true);
    txtMessage_->setFrameShape(QFrame::NoFrame);
    txtMessage_->setFocusPolicy(Qt::NoFocus);
    txtMessage_->setFont(BoxFont());

    lblMessage_ = new QLabel(this);
    lblMessage_->setObjectName(QStringLiteral("lblMessage"));
    lblMessage_->setTextFormat(Qt::PlainText);
    lblMessage_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMessage_->move(ui::ToPixelsX(ui::kMsgBoxTextLeft), ui::ToPixelsY(ui::kMsgBoxTextTop));
    lblMessage_->hide();

    const struct {
        const char* name;
        QStyle::StandardPixmap pixmap;
        ui::MsgBoxIcon icon;
    } icons[] = {{"imgCritical", QStyle::SP_MessageBoxCritical, ui::MsgBoxIcon::Critical},
                 {"imgQuestion", QStyle::SP_MessageBoxQuestion, ui::MsgBoxIcon::Question},
                 {"imgExclaimation", QStyle::SP_MessageBoxWarning, ui::MsgBoxIcon::Exclamation},
                 {"imgInformation", QStyle::SP_MessageBoxInformation, ui::MsgBoxIcon::Information}};
    for (std::size_t i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(icons[i].name));
        label->setScaledContents(true);
        label->setPixmap(style()->standardIcon(icons[i].pixmap).pixmap(32, 32));
        label->setGeometry(ui::ToPixels(ui::IconPlace(icons[i].icon)));
        label->hide();
        icons_[i] = label;
    }

    tmrAutoClose_ = new BigTimer(this);
    tmrAutoClose_->setObjectName(QStringLiteral("tmrAutoClose"));
    tmrAutoClose_->hide();
    connect(tmrAutoClose_, &BigTimer::Timer, this, [this] { close(); });
    tmrAutoClose_->SetEnabled(false);
}

void frmEnhMsgBox::Build(const MsgBoxRequest& request) {
    const auto back = request.backColor != 0 ? ui::TranslateOleColor(request.backColor)
                                             : ui::TranslateOleColor(ui::kButtonFaceColor);
    backColor_ = back.value_or(palette().color(QPalette::Button));
    SetColor(this, QPalette::Window, backColor_);
    setAutoFillBackground(true);

    const QColor fore = request.foreColor != 0
                            ? ui::TranslateOleColor(request.foreColor).value_or(Qt::black)
                            : QColor(Qt::black);
    SetColor(lblMessage_, QPalette::WindowText, fore);
    SetColor(txtMessage_, QPalette::Text, fore);

    AutoCloseAfterSecs = request.autoCloseAfterSecs;
    HelpFile = request.helpFile;
    ContextID = request.contextId;
    if (request.font) MessageFont = request.font;

    const ui::DecodedMsgBoxFlags flags = ui::DecodeMsgBoxFlags(request.buttons);
    if (flags.help) {
        buttons_[3]->show();
        buttons_[3]->setText(QString::fromStdString(
            GetMessageText(ui::kHelpButton.message, request.language, std::string(), 0)));
        tags_[3] = QString::fromLatin1(ui::kHelpButton.tag.data(),
                                       static_cast<qsizetype>(ui::kHelpButton.tag.size()));
    }
    if (flags.systemModal) {
        SystemModal = true;
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    tabPositions_ = flags.tabPositions;

    ui::MsgBoxLayoutInput in;
    in.flags = flags;
    in.richText = request.richText;
    in.prompt = request.prompt;
    in.twipsPerPixelX = ui::TwipsPerPixelX();
    const QString labelText = LabelText(request.prompt);
    if (request.richText) {
        txtMessage_->setPlainText(QString::fromStdString(request.prompt));
        ApplyMsgBoxMarkup(txtMessage_->document());
        in.boxWidth = request.boxWidth;
        in.boxHeight = request.boxHeight;
        in.richLineCount = [this](double width) {
            QTextDocument* doc = txtMessage_->document();
            const qreal old = doc->textWidth();
            doc->setTextWidth(ui::ToPixelsX(width));
            doc->size();  // lays the document out
            const int lines = doc->lineCount();
            doc->setTextWidth(old);
            return lines;
        };
    } else {
        lblMessage_->setText(labelText);
        const QFontMetrics fm(lblMessage_->font());
        const QRect natural = fm.boundingRect(QRect(), Qt::TextExpandTabs, labelText);
        in.labelWidth = ui::ToTwipsX(natural.width());
        in.labelHeight = ui::ToTwipsY(natural.height());
        in.labelHeightWrapped = [fm, labelText](double width) {
            const QRect r(0, 0, ui::ToPixelsX(width), 0);
            return ui::ToTwipsY(
                fm.boundingRect(r, Qt::TextWordWrap | Qt::TextExpandTabs, labelText).height());
        };
    }
    const ui::MsgBoxLayout layout = ui::LayoutMsgBox(in);

    setFixedSize(ui::ToPixels(layout.windowWidth - ui::kMsgBoxFrameWidth,
                              layout.windowHeight - ui::kMsgBoxFrameHeight));
    if (request.richText) {
        txtMessage_->setGeometry(ui::ToPixels(layout.text));
        txtMessage_->show();
        lblMessage_->hide();
    } else {
        lblMessage_->setWordWrap(layout.labelWraps);
        lblMessage_->setGeometry(ui::ToPixels(layout.label));
        lblMessage_->show();
        txtMessage_->hide();
    }
    if (const int icon = IconIndex(flags.icon); icon >= 0) {
        icons_[static_cast<std::size_t>(icon)]->setGeometry(ui::ToPixels(layout.icon));
        icons_[static_cast<std::size_t>(icon)]->show();
    }
    sound_ = flags.sound;
    for (std::size_t i = 0; i < flags.buttons.size(); ++i) {
        const ui::MsgBoxButtonKind& kind = flags.buttons[i];
        buttons_[i]->setText(
            QString::fromStdString(GetMessageText(kind.message, request.language, std::string(), 0)));
        tags_[i] = QString::fromLatin1(kind.tag.data(), static_cast<qsizetype>(kind.tag.size()));
        buttons_[i]->show();
    }
    for (std::size_t i = 0; i < 4; ++i) buttons_[i]->setGeometry(ui::ToPixels(layout.buttons[i]));

    // Tab order follows the positions; position 0 gets the focus.
    std::array<QPushButton*, 4> byPosition{};
    for (std::size_t i = 0; i < 4; ++i)
        byPosition[static_cast<std::size_t>(tabPositions_[i])] = buttons_[i];
    for (std::size_t i = 0; i + 1 < 4; ++i) setTabOrder(byPosition[i], byPosition[i + 1]);

    setWindowTitle(request.title.empty() ? QStringLiteral(" ")
                                         : QString::fromStdString(request.title));
    QApplication::beep();
    YieldToEventLoop();
}

void frmEnhMsgBox::FirstActivation() {
    SetColor(txtMessage_, QPalette::Base, backColor_);
    SetColor(lblMessage_, QPalette::Window, backColor_);
    if (AutoCloseAfterSecs > 0) {
        tmrAutoClose_->SetEnabled(true);
        tmrAutoClose_->SetInterval(AutoCloseAfterSecs);
    } else {
        tmrAutoClose_->SetEnabled(false);
    }
    if (MessageFont) {
        lblMessage_->setFont(ToQFont(*MessageFont));
        txtMessage_->setFont(ToQFont(*MessageFont));
    }
    // Focus on the first shown button in tab order.
    std::array<std::size_t, 4> order{0, 1, 2, 3};
    std::sort(order.begin(), order.end(),
              [this](std::size_t a, std::size_t b) { return tabPositions_[a] < tabPositions_[b]; });
    for (std::size_t i : order) {
        if (!buttons_[i]->isHidden()) {
            buttons_[i]->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void frmEnhMsgBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FirstActivation();
    }
}

void frmEnhMsgBox::ButtonPressed(int index) {
    selectedButton_ = tags_[static_cast<std::size_t>(index)];
    if (selectedButton_ == QLatin1String("Help")) {
        // The box stays open for another answer.
        std::optional<std::int32_t> context;
        if (ContextID != 0) context = ContextID;
        HTMLHelp().ShowHelp(HelpFile, "", context);
        return;
    }
    done(QDialog::Accepted);
}

void frmEnhMsgBox::keyPressEvent(QKeyEvent* event) {
    // Esc closes the box when it is released, not here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmEnhMsgBox::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        event->accept();
        close();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void frmEnhMsgBox::closeEvent(QCloseEvent* event) {
    MessageFont.reset();
    QDialog::closeEvent(event);
}

int frmEnhMsgBox::Run(const MsgBoxRequest& request) {
    auto box = std::make_unique<frmEnhMsgBox>();
    box->Build(request);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        box->move(area.center() - QPoint(box->width() / 2, box->height() / 2));
        KeepOnScreen(box.get(), area);
    }
    RunNestedDialog(*box);
    return ui::ResultCodeForTag(box->SelectedButton().toStdString());
}

}  // namespace corvane
