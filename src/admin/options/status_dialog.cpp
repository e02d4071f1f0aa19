#include "admin/options/status_dialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace corvane {

StatusDialog::StatusDialog(QWidget* parent) : QDialog(parent) {
    setSizeGripEnabled(true);
    statusBar_ = new QWidget(this);
    statusBar_->setObjectName("StatusBar");
    auto* layout = new QHBoxLayout(statusBar_);
    layout->setContentsMargins(4, 2, 20, 2);
    panel_ = new QLabel(statusBar_);
    panel_->setObjectName("Panel1");
    panel_->setFrameShape(QFrame::StyledPanel);
    panel_->setFrameShadow(QFrame::Sunken);
    layout->addWidget(panel_, 1);
}

QString StatusDialog::StatusText() const { return panel_->text(); }
void StatusDialog::ShowStatus(const QString& text) { panel_->setText(text); }
int StatusDialog::StatusHeight() const { return statusBar_->height(); }

void StatusDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (formLoad_) QTimer::singleShot(0, this, [this] { Activate(); });
}

void StatusDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Activate();
}

void StatusDialog::Activate() {
    if (!formLoad_) return;
    formLoad_ = false;
    FirstActivation();
}

void StatusDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int height = statusBar_->sizeHint().height();
    statusBar_->setGeometry(0, this->height() - height, width(), height);
    Layout();
}

}  // namespace corvane
