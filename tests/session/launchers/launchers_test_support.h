#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/launchers/window_factories.h"

namespace corvane::testing {

// What one window went through; it outlives the window.
struct WindowRecord {
    std::vector<std::string> inputs;
    bool shown = false;
    bool shownModal = false;
};

// A window that notes the inputs it is given, in order, and whether it was
// shown modally; a modal one closes itself once shown.
class RecordingWindow : public QDialog {
public:
    explicit RecordingWindow(std::shared_ptr<WindowRecord> record) : record_(std::move(record)) {}

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::DynamicPropertyChange) {
            const auto* change = static_cast<QDynamicPropertyChangeEvent*>(e);
            record_->inputs.push_back(std::string(change->propertyName()) + "=" +
                                      property(change->propertyName()).toString().toStdString());
        }
        if (e->type() == QEvent::Show) {
            record_->shown = true;
            record_->shownModal = isModal() || windowModality() != Qt::NonModal;
            if (record_->shownModal) QTimer::singleShot(0, this, &QDialog::reject);
        }
        return QDialog::event(e);
    }

private:
    std::shared_ptr<WindowRecord> record_;
};

// Registers recording windows for one object name while it lives; every
// window made is kept (guarded) for the test to look at.
class RecordingFactory {
public:
    explicit RecordingFactory(QString name) : name_(std::move(name)) {
        RegisterWindowFactory(name_, [this] {
            records.push_back(std::make_shared<WindowRecord>());
            auto* w = new RecordingWindow(records.back());
            made.emplace_back(w);
            return w;
        });
    }
    ~RecordingFactory() {
        RegisterWindowFactory(name_, nullptr);
        for (const auto& w : made) delete w.data();
    }
    std::vector<QPointer<RecordingWindow>> made;
    std::vector<std::shared_ptr<WindowRecord>> records;

private:
    QString name_;
};

// Lets deferred deletions and queued calls run.
inline void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

}  // namespace corvane::testing
