#include "admin/logs/viewers/frm_log_viewers.h"

#include <QLabel>

#include "admin/logs/viewers/frm_user_log_popup.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "session/launchers/window_factories.h"

namespace corvane {
namespace {

LogViewerSpec UserLogSpec() {
    return {"frmUserLog", LogRows::Kind::User, 297, {308, 307, 145, 65, 310, 311, 53},
            {20, 30, 30, 20, 21, 21, 15}, true, true, true, true, "LoadData"};
}

LogViewerSpec WebsiteLogSpec() {
    return {"frmWebsiteLog", LogRows::Kind::Website, 164, {308, 145, 65, 161, 91, 105},
            {20, 30, 20, 255, 21, 21}, false, false, false, false, "LoadWebsiteLog"};
}

}  // namespace

frmUserLog::frmUserLog(QWidget* parent) : LogViewer(UserLogSpec(), parent) {}

void frmUserLog::ShowItemPopup() {
    if (!ItemSelected()) return;
    // One card at a time: a card still open gives way to the new one.
    if (popup_) popup_->hide();
    const std::int32_t row = SelectedIndex() - 1;
    QPointer<frmUserLogPopup> card;
    RunIgnoringErrors({
        [&] { popup_ = card = new frmUserLogPopup(this); },
        [&] {
            const QStringList captions = Model()->Captions();
            for (int i = 0; i < frmUserLogPopup::kRows; ++i) card->DetailsLabel(i)->setText(captions.value(i));
        },
        [&] {
            for (int i = 0; i < frmUserLogPopup::kRows; ++i)
                card->ValueLabel(i)->setText(QString::fromStdString(text::Trim(Model()->Rows().Cell(row, i))));
        },
        [&] { ShowModal(card); },
        [&] { UnloadWindow(card); },
    });
}

frmWebsiteLog::frmWebsiteLog(QWidget* parent) : LogViewer(WebsiteLogSpec(), parent) {}

void RegisterLogViewerWindows() {
    RegisterWindowFactory(QStringLiteral("frmUserLog"), [] { return new frmUserLog; });
    RegisterWindowFactory(QStringLiteral("frmWebsiteLog"), [] { return new frmWebsiteLog; });
}

}  // namespace corvane
