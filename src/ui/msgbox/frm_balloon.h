#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;

namespace corvane {

class BigTimer;

// The balloon window: borderless, in the tool-tip colours, cut to a rounded
// outline, with a bold title, an optional icon, the text and a close button.
// A click anywhere on it closes it, and so does its countdown when set.
class frmBalloon : public QWidget {
    Q_OBJECT

public:
    explicit frmBalloon(QWidget* owner = nullptr);

    // Fills and sizes the window; position and size in twips.
    void SetBalloon(const QString& caption, const QString& bodyText, std::int32_t posX,
                    std::int32_t posY, std::int32_t whichIcon, bool showClose,
                    std::int32_t autoCloseAfterSecs, std::int32_t balloonHeight,
                    std::int32_t balloonWidth, QString fontName, double fontSize);
    // Closes the window.
    void HideBalloon();
    // True when the font Tahoma is installed.
    static bool DoesTahomaExist();

    // The outline cut into the window, in the window's pixels.
    const QPolygon& Outline() const { return outline_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Rearrange();
    void BuildOutline();
    bool OnCloseButton(const QPoint& pos) const;

    QLabel* lblTitle_ = nullptr;
    QLabel* lblText_ = nullptr;
    QLabel* imgDisplayIcon_ = nullptr;
    QLabel* imgX_ = nullptr;
    QLabel* lblX_ = nullptr;
    BigTimer* tmrAutoClose_ = nullptr;
    QPolygon outline_;
    bool closePressed_ = false;
};

}  // namespace corvane
