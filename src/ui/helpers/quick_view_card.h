#pragma once

#include <QWidget>
#include <vector>

#include "ui_core/msgbox/msgbox_layout.h"

class QFrame;
class QLabel;

namespace corvane {

// A quick-view card: a small pale yellow card without frame or title bar,
// framed by a rectangle, shown over its owner. It hides itself on a click on
// it or on any of its labels (but those KeepOpenOnClick names) and when it
// stops being the active window; its owner shows it with RunModal and
// unloads it then.
class QuickViewCard : public QWidget {
    Q_OBJECT

public:
    // The card's inner size in twips.
    QuickViewCard(const QString& name, double widthTwips, double heightTwips, QWidget* parent);

    // Puts the card's top left corner at `topLeft`, as far as `screen` holds
    // the card.
    void PlaceAt(QPoint topLeft, const QRect& screen);

    // The card's fonts: MS Sans Serif (or the nearest sans serif).
    static QFont CardFont(double points, bool bold);

protected:
    // A label of the card's font at a place in twips; its clicks reach the card.
    QLabel* AddLabel(const QString& name, const ui::TwipsRect& place);
    // Clicks on `control` do nothing.
    void KeepOpenOnClick(QWidget* control);
    // Takes the keyboard focus when the card shows.
    void SetFocusHolder(QWidget* holder) { focusHolder_ = holder; }

    // Every bold label (a caption) made as wide as its text, and the labels
    // to its right on its row moved to begin after it, their right edges kept.
    // Runs as the card shows, once its texts and fonts are set.
    void FitCaptions();

    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QFrame* shape_ = nullptr;
    QWidget* focusHolder_ = nullptr;
    std::vector<QWidget*> keepOpen_;
    bool wasActive_ = false;
};

}  // namespace corvane
