#include "ui/helpers/window_helpers.h"

#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <vector>

#include "platform/core/text.h"
#include "ui_core/list_export.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_metrics.h"
#include "ui_core/window_geometry.h"

namespace corvane {
namespace {

// Ends a local event loop when the watched window is hidden.
class HideWatcher : public QObject {
public:
    explicit HideWatcher(QEventLoop* loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) loop_->quit();
        return false;
    }

private:
    QEventLoop* loop_;
};

// Refuses the window system's close requests; the program's own close()
// calls are not spontaneous and pass.
class CloseBoxGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && event->spontaneous()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void DisableCloseButton(QWidget* window) {
    if (!window) return;
    // Found by name: the guard has no meta-object of its own, so a search by
    // type would take any child for it.
    const QString guardName = QStringLiteral("CloseBoxGuard");
    if (!window->findChild<QObject*>(guardName, Qt::FindDirectChildrenOnly)) {
        auto* guard = new CloseBoxGuard(window);
        guard->setObjectName(guardName);
        window->installEventFilter(guard);
    }
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::CustomizeWindowHint, true);
    window->setWindowFlag(Qt::WindowCloseButtonHint, false);
    // Changing the flags hides a shown window.
    if (visible) window->show();
}

void RunModal(QWidget* window) {
    if (!window) return;
    QPointer<QWidget> guard(window);
    QEventLoop loop;
    HideWatcher watcher(&loop);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (window->isVisible()) loop.exec(QEventLoop::DialogExec);
    if (guard) guard->removeEventFilter(&watcher);
}

void CenterForm(QWidget* window) {
    if (!window) return;
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize s = screen->geometry().size();
    const QSize w = window->frameGeometry().size();
    const ui::TwipsPoint p = ui::CenteredPosition(ui::ToTwipsX(s.width()), ui::ToTwipsY(s.height()),
                                                  ui::ToTwipsX(w.width()), ui::ToTwipsY(w.height()));
    MoveFrameTo(window, screen->geometry().topLeft() + QPoint(ui::ToPixelsX(p.left), ui::ToPixelsY(p.top)));
    KeepOnScreen(window, screen->availableGeometry());
}

void FitListViewColumns(QTreeView* list) {
    if (!list) return;
    QHeaderView* header = list->header();
    const int count = header->count();
    if (count == 0) return;
    std::vector<double> widths;
    for (int i = 0; i < count; ++i) widths.push_back(ui::ToTwipsX(header->sectionSize(i)));
    const std::vector<double> fitted =
        ui::FitColumnWidths(ui::ToTwipsX(list->viewport()->width()), widths);
    // Widths in twips round back to pixels; a width the list cannot take
    // leaves that column as it was.
    for (int i = 0; i < count; ++i) {
        const int px = ui::ToPixelsX(fitted[i]);
        if (px >= 0) header->resizeSection(i, px);
    }
}

void SelectAllText(QWidget* control) {
    const auto length = [](const QString& text) {
        return static_cast<int>(
            QString::fromStdString(text::Trim(text.toStdString())).size());
    };
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setSelection(0, length(edit->text()));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (QLineEdit* e = combo->lineEdit()) e->setSelection(0, length(e->text()));
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) {
        spin->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        QTextCursor c = plain->textCursor();
        c.setPosition(0);
        c.setPosition(length(plain->toPlainText()), QTextCursor::KeepAnchor);
        plain->setTextCursor(c);
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        QTextCursor c = rich->textCursor();
        c.setPosition(0);
        c.setPosition(length(rich->toPlainText()), QTextCursor::KeepAnchor);
        rich->setTextCursor(c);
    }
}

void SelectAllTextAfterFocus(QWidget* control) {
    QTimer::singleShot(0, control, [control] { SelectAllText(control); });
}

int SelectedRowPosition(const QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) {
        const auto selected = list->selectedItems();
        item = selected.isEmpty() ? nullptr : selected.front();
    }
    return item ? list->indexOfTopLevelItem(item) + 1 : 0;
}

std::string ListItemToText(QTreeWidget* list, QTreeWidgetItem* item, const std::string& separator) {
    if (!list || !item) return {};
    QTreeWidgetItem* header = list->headerItem();
    const int columns = list->columnCount();
    std::vector<std::string> tags, cells;
    for (int k = 0; k < columns; ++k) {
        tags.push_back(header->data(k, kColumnTagRole).toString().toStdString());
        cells.push_back(item->text(k).toStdString());
    }
    return ui::ListRowToText(tags, cells, separator);
}

}  // namespace corvane
