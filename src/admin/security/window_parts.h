#pragma once

#include <QString>

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace corvane {

// A message of the catalogue in the current language.
QString MessageText(int number);

// What both security windows carry below their tabs: the caution text, the
// restart notice with its picture, and OK, Cancel and Apply.
struct SecurityWindowFooter {
    QLabel* lblLockdownWarning = nullptr;
    QLabel* imgLockdownIsDirty = nullptr;
    QLabel* lblLockdownIsDirty = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

    // Adds the parts to the layout; OK is the default button.
    void Build(QWidget* window, QBoxLayout* layout);
    // Captions 627, 556, 33, 25 and 34.
    void SetLanguage();
    // Apply enabled and the notice shown exactly while dirty.
    void ShowDirty(bool dirty);
};

}  // namespace corvane
