// Every window Corvane places lies wholly on the screen it opens on. The
// cases run on the default offscreen screen and once more on a 640 by 512
// one (ui_tests_small_screen).
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>
#include <functional>
#include <QGuiApplication>
#include <QScreen>
#include <map>

#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_helpers.h"
#include "ui/helpers/window_metrics.h"
#include "ui/ui_test_support.h"
#include "ui_core/form_metrics.h"

using namespace corvane;

namespace {

TEST(WindowPlacement, ClampIntoMovesTheLeastAndShrinksToTheArea) {
    struct Row {
        const char* what;
        QRect frame;
        QRect area;
        QRect placed;
    };
    const Row rows[] = {
        {"inside stays", {10, 20, 100, 50}, {0, 0, 640, 512}, {10, 20, 100, 50}},
        {"below the bottom", {100, 480, 200, 100}, {0, 0, 640, 512}, {100, 412, 200, 100}},
        {"past the right", {600, 10, 200, 100}, {0, 0, 640, 512}, {440, 10, 200, 100}},
        {"above and left", {-50, -30, 200, 100}, {0, 0, 640, 512}, {0, 0, 200, 100}},
        {"taller than the area", {10, 100, 200, 600}, {0, 0, 640, 512}, {10, 0, 200, 512}},
        {"larger every way", {-10, -10, 900, 700}, {0, 0, 640, 512}, {0, 0, 640, 512}},
        {"an area not at the origin", {1900, 1000, 300, 200}, {1024, 24, 1280, 1000}, {1900, 824, 300, 200}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ClampInto(row.frame, row.area), row.placed);
    }
}

// The window's whole frame once shown, within the available area of its screen.
void ExpectWhollyOnScreen(QWidget& window) {
    window.show();
    QCoreApplication::processEvents();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(available.contains(window.frameGeometry()))
        << window.frameGeometry().x() << "," << window.frameGeometry().y() << " " << window.frameGeometry().width()
        << "x" << window.frameGeometry().height() << " in " << available.width() << "x" << available.height();
    EXPECT_GE(window.width(), window.minimumWidth());
}

TEST(WindowPlacement, EveryPlacementPathKeepsAWindowLargerThanTheScreenOnIt) {
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QSize large = screen + QSize(100, 80);
    {
        SCOPED_TRACE("CenterForm");
        QDialog window;
        window.resize(large);
        CenterForm(&window);
        ExpectWhollyOnScreen(window);
    }
    {
        SCOPED_TRACE("PlaceOnAvailableScreen");
        QDialog window;
        PlaceOnAvailableScreen(&window, large);
        ExpectWhollyOnScreen(window);
    }
    for (const bool saved : {false, true}) {
        SCOPED_TRACE(saved ? "LoadFormMetrics, saved below the screen" : "LoadFormMetrics, nothing saved");
        std::map<std::pair<std::string, std::string>, std::string> values;
        ui::UiServices services = ui::Services();
        services.getUserSetting = [&](const std::string& section, const std::string& key, const std::string& def) {
            const auto it = values.find({section, key});
            return it == values.end() ? def : it->second;
        };
        test::ServicesScope scope(services);
        if (saved) {
            const std::string section = ui::FormMetricsSection("frmPlaced");
            values[{section, "Top"}] = std::to_string(static_cast<int>(ui::ToTwipsY(screen.height() - 40)));
            values[{section, "Height"}] = std::to_string(static_cast<int>(ui::ToTwipsY(screen.height())));
        }
        QDialog window;
        window.setObjectName("frmPlaced");
        window.resize(large);
        LoadFormMetrics(&window);
        ExpectWhollyOnScreen(window);
    }
    {
        SCOPED_TRACE("a frameless window at the bottom right");
        QWidget window(nullptr, Qt::Dialog | Qt::FramelessWindowHint);
        window.resize(200, 100);
        window.move(screen.width() - 20, screen.height() - 10);
        KeepOnScreen(&window);
        EXPECT_EQ(window.pos(), QPoint(screen.width() - 200, screen.height() - 100));
        ExpectWhollyOnScreen(window);
    }
}

// A shown window the program itself moves or enlarges past the screen's edge
// comes back wholly on it, as a fixed-size dialog grows when it fills in its
// texts after it showed.
TEST(WindowPlacement, AShownWindowTheProgramMovesOrGrowsPastTheEdgeComesBack) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Row {
        const char* what;
        std::function<void(QDialog&, QLabel&)> change;
    };
    const Row rows[] = {
        {"its texts grow a fixed-size layout", [](QDialog&, QLabel& text) { text.setText(QString(12, 'W')); }},
        {"resized", [&](QDialog& window, QLabel&) { window.resize(window.width() + 200, window.height() + 150); }},
        {"moved past the bottom right",
         [&](QDialog& window, QLabel&) { window.move(area.right() - 20, area.bottom() - 20); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QDialog window;
        auto* layout = new QVBoxLayout(&window);
        auto* text = new QLabel(QStringLiteral("W"), &window);
        layout->addWidget(text);
        if (row.what == rows[0].what) layout->setSizeConstraint(QLayout::SetFixedSize);
        window.show();
        QCoreApplication::processEvents();
        // Its right edge and bottom a few pixels from the screen's.
        window.move(area.right() - window.frameGeometry().width() - 4,
                    area.bottom() - window.frameGeometry().height() - 4);
        QCoreApplication::processEvents();
        row.change(window, *text);
        QCoreApplication::processEvents();
        EXPECT_TRUE(area.contains(window.frameGeometry()))
            << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
            << window.frameGeometry().width() << "x" << window.frameGeometry().height();
    }
}

}  // namespace
