#pragma once

#include <QImage>
#include <QWidget>

namespace corvane {

// A surface that keeps what is drawn on it until it is cleared or resized,
// like a picture box that draws into its own image.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The image to draw on, as large as the box; drawing shows after Refresh.
    QImage& Canvas();
    void Refresh() { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage canvas_;
};

}  // namespace corvane
