#pragma once

#include <QObject>
#include <QString>

namespace corvane {

// Saves each window of the program as a PNG shortly after it is shown
// ("NN-frmName.png"), for a person to look at a run nobody watched.
class ScreenshotRecorder : public QObject {
public:
    explicit ScreenshotRecorder(QString folder, QObject* parent = nullptr);

    // Records into CORVANE_SCREENSHOT_DIR when it is set; otherwise nothing.
    static void InstallFromEnvironment();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString folder_;
    int count_ = 0;
};

}  // namespace corvane
