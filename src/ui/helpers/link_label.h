#pragma once

#include <QLabel>

namespace corvane {

// A label that acts as a link: bold, underlined, in the highlight colour,
// with the pointing-hand pointer; a left click on it emits clicked().
class LinkLabel : public QLabel {
    Q_OBJECT

public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace corvane
