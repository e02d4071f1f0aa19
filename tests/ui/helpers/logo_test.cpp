#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "platform/core/raised_error.h"
#include "ui/helpers/ilogo.h"
#include "ui_core/logo_band.h"
#include "ui/helpers/ole_color.h"
#include "ui/helpers/picture_box.h"

using namespace corvane;
using namespace corvane::ui;

TEST(LogoBand, StripHeightAndCount) {
    const std::pair<int, int> heights[] = {{255, 1}, {300, 1}, {600, 2}, {100, 1}, {765, 3}};
    for (const auto& [h, s] : heights) EXPECT_EQ(LogoStripHeight(h), s) << h;
    EXPECT_EQ(LogoBandStrips(255, {}, {}).size(), 256u);
    EXPECT_EQ(LogoBandStrips(600, {}, {}).size(), 301u);
    EXPECT_EQ(LogoBandStrips(0, {}, {}).size(), 1u);
    EXPECT_TRUE(LogoBandStrips(-5, {}, {}).empty());
}

TEST(LogoBand, GradientRunsFromTheBottomUp) {
    const Rgb blue{0, 0, 255}, black{0, 0, 0};
    const auto strips = LogoBandStrips(255, blue, black);
    // The two lowest strips have the start colour, then each moves 1/255 on.
    EXPECT_EQ(strips[0], (LogoStrip{254, 255, blue}));
    EXPECT_EQ(strips[1], (LogoStrip{253, 254, blue}));
    EXPECT_EQ(strips[2].color, (Rgb{0, 0, 254}));
    EXPECT_EQ(strips[255], (LogoStrip{-1, 0, Rgb{0, 0, 1}}));
    // Halves round to even: 2 of 4 steps from 0 to 3 is 1.5, which gives 2.
    const auto small = LogoBandStrips(4, {0, 0, 0}, {3, 3, 3});
    EXPECT_EQ(small[3].color, (Rgb{2, 2, 2}));
    EXPECT_EQ(SplitRgb(0xFF0000), blue);
    EXPECT_EQ(SplitRgb(0x123456), (Rgb{0x56, 0x34, 0x12}));
}

TEST(ILogo, DrawsTheBandIntoThePictureBox) {
    QWidget frm;
    frm.resize(40, 300);
    PictureBox pic(&frm);
    pic.resize(30, 10);
    ILogo logo;
    logo.SetStartColor(0xFF0000);
    logo.SetEndColor(0);
    logo.ShowLogoBar(&frm, &pic, "Corvane Standard");
    EXPECT_EQ(pic.height(), 300);
    const QImage& canvas = pic.Canvas();
    EXPECT_EQ(canvas.pixelColor(29, 299), QColor(0, 0, 255));
    // The top row is 298 of 300 steps on: 255 - 252.45 rounds to 2.
    EXPECT_EQ(canvas.pixelColor(29, 0), QColor(0, 0, 2));
    EXPECT_EQ(logo.Caption(), "Corvane Standard");

    // An empty caption keeps the one set before.
    logo.ShowLogoBar(&frm, &pic, "");
    EXPECT_EQ(logo.Caption(), "Corvane Standard");
}

TEST(ILogo, ColoursAreWorkedOutWhenSet) {
    ILogo logo;
    EXPECT_EQ(logo.StartColor(), 0);
    EXPECT_EQ(logo.StartRgb(), (Rgb{}));
    EXPECT_EQ(logo.EndColor(), kButtonFaceColor);
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(logo.EndRgb(), (Rgb{face.red(), face.green(), face.blue()}));
    logo.SetStartColor(0x0000FF);
    EXPECT_EQ(logo.StartRgb(), (Rgb{255, 0, 0}));
    logo.SetStartColor(0x7F000000);  // no such colour: black
    EXPECT_EQ(logo.StartRgb(), (Rgb{}));
}

TEST(ILogo, SettingTheSameColourDoesNotRedraw) {
    QWidget frm;
    frm.resize(20, 100);
    PictureBox pic(&frm);
    pic.resize(20, 100);
    ILogo logo;
    logo.SetDrawingObject(&pic);
    logo.SetStartColor(0x00FF00);  // draws: a picture box is attached
    EXPECT_EQ(pic.Canvas().pixelColor(0, 99), QColor(0, 255, 0));
    pic.Canvas().fill(Qt::white);
    logo.SetStartColor(0x00FF00);
    EXPECT_EQ(pic.Canvas().pixelColor(0, 99), QColor(Qt::white));
}

TEST(ILogo, MissingPartsAndWrongControls) {
    QWidget frm, notAPicture;
    PictureBox pic;
    ILogo logo;
    logo.SetCaption("kept");
    logo.ShowLogoBar(nullptr, &pic, "x");
    logo.ShowLogoBar(&frm, nullptr, "x");
    EXPECT_EQ(logo.Caption(), "kept");
    try {
        logo.SetDrawingObject(&notAPicture);
        FAIL() << "no error raised";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), 13);
    }
}
