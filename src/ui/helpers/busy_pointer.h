#pragma once

#include <QApplication>

namespace corvane {

// The hourglass while a step runs, whatever way it ends.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// The program's pointer back to the default one, whatever hourglasses the
// steps under way have set: a window that needs the user shows no hourglass.
// Those steps still end theirs, which then takes nothing away.
inline void ResetProgramPointer() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace corvane
