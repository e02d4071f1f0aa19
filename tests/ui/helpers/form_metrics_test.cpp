#include <gtest/gtest.h>

#include <QScreen>
#include <QWidget>
#include <clocale>
#include <map>

#include "ui_core/form_metrics.h"
#include "ui/helpers/window_metrics.h"
#include "ui/ui_test_support.h"

using namespace corvane;
using namespace corvane::ui;

namespace {

// A settings store in a map, recording the order of the writes.
struct MapSettings {
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::vector<std::string> writes;
    UiServices Services() {
        UiServices s = ui::Services();
        s.getUserSetting = [this](const std::string& section, const std::string& key,
                                  const std::string& def) {
            const auto it = values.find({section, key});
            return it == values.end() ? def : it->second;
        };
        s.saveUserSetting = [this](const std::string& section, const std::string& key,
                                   const std::string& value) {
            values[{section, key}] = value;
            writes.push_back(key);
        };
        return s;
    }
};

}  // namespace

TEST(FormMetrics, WrittenAsTextUnderTheFormsSection) {
    MapSettings settings;
    test::ServicesScope scope(settings.Services());
    WriteFormMetrics("frmErrorLog", {4500, 6000.5, -120, 1234567.8, 2});
    EXPECT_EQ(settings.writes,
              (std::vector<std::string>{"Height", "Width", "Top", "Left", "WindowState"}));
    const std::string section = "Form Metrics\\frmErrorLog";
    EXPECT_EQ((settings.values[{section, "Height"}]), "4500");
    EXPECT_EQ((settings.values[{section, "Width"}]), "6000.5");
    EXPECT_EQ((settings.values[{section, "Top"}]), "-120");
    EXPECT_EQ((settings.values[{section, "Left"}]), "1234568");  // single precision
    EXPECT_EQ((settings.values[{section, "WindowState"}]), "2");
}

TEST(FormMetrics, ReadWithTheCurrentValuesAsDefaults) {
    MapSettings settings;
    test::ServicesScope scope(settings.Services());
    const FormMetricsValues current{3000, 4000, 100, 200, 0};
    EXPECT_EQ(ReadFormMetrics("frmNew", current), current);

    const std::string section = FormMetricsSection("frmUserLog");
    settings.values[{section, "Height"}] = "5000 ";
    settings.values[{section, "Width"}] = "60 00";
    settings.values[{section, "Top"}] = "junk";
    settings.values[{section, "WindowState"}] = "7";
    const FormMetricsValues read = ReadFormMetrics("frmUserLog", current);
    EXPECT_EQ(read.height, 5000);
    EXPECT_EQ(read.width, 6000);
    EXPECT_EQ(read.top, 0);  // text without a number reads 0
    EXPECT_EQ(read.left, 200);
    EXPECT_EQ(read.windowState, 0);  // no such state: the window stays as it is
}

TEST(FormMetrics, ANumberTooLargeToReadKeepsTheCurrentValue) {
    MapSettings settings;
    test::ServicesScope scope(settings.Services());
    const std::string section = FormMetricsSection("frmUserLog");
    settings.values[{section, "Height"}] = "1e999";
    settings.values[{section, "WindowState"}] = "&H123456789";
    settings.values[{section, "Width"}] = "&H10";
    const FormMetricsValues read = ReadFormMetrics("frmUserLog", {3000, 4000, 100, 200, 1});
    EXPECT_EQ(read, (FormMetricsValues{3000, 16, 100, 200, 1}));
}

// The window layer runs under the user's locale; a decimal comma there must
// not reach the stored text nor cut a stored number short.
TEST(FormMetrics, APointWhateverTheLocale) {
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE locale";
    MapSettings settings;
    test::ServicesScope scope(settings.Services());
    WriteFormMetrics("frmErrorLog", {4500.5, 6000, 0, 0, 0});
    const FormMetricsValues read = ReadFormMetrics("frmErrorLog", {});
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ((settings.values[{"Form Metrics\\frmErrorLog", "Height"}]), "4500.5");
    EXPECT_EQ(read.height, 4500.5);
}

TEST(FormMetrics, AWindowComesBackWhereItsUserLeftIt) {
    MapSettings settings;
    test::ServicesScope scope(settings.Services());
    QPoint leftAt;
    {
        QWidget form;
        form.setObjectName("frmWebBrowser");
        form.setGeometry(40, 60, 320, 240);
        form.show();
        leftAt = form.pos();
        SaveFormMetrics(&form);
    }
    // Restored while loading, before the window is shown.
    QWidget again;
    again.setObjectName("frmWebBrowser");
    again.resize(100, 100);
    LoadFormMetrics(&again);
    EXPECT_EQ(again.size(), QSize(320, 240));
    EXPECT_EQ(again.pos(), leftAt);

    settings.values[{FormMetricsSection("frmWebBrowser"), "WindowState"}] = "2";
    LoadFormMetrics(&again);
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
}

// Saved values that would lose the window: it opens where its user can see it.
TEST(FormMetrics, AWindowNeverOpensOutOfReach) {
    struct Row {
        const char* what;
        std::map<std::string, std::string> saved;  // value name -> text
        bool keepsSize;
    };
    const Row rows[] = {
        {"saved minimised", {{"WindowState", "1"}, {"Left", "300"}}, false},
        {"far to the right", {{"Left", "9999999"}, {"Top", "300"}}, false},
        {"far above and left", {{"Left", "-9999999"}, {"Top", "-9999999"}}, false},
        {"no width", {{"Width", "0"}, {"Height", "3000"}}, true},
        {"no height", {{"Height", "0"}, {"Width", "3000"}}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MapSettings settings;
        test::ServicesScope scope(settings.Services());
        for (const auto& [name, text] : row.saved)
            settings.values[{FormMetricsSection("frmUserLog"), name}] = text;
        QWidget form;
        form.setObjectName("frmUserLog");
        form.setGeometry(50, 50, 200, 150);
        LoadFormMetrics(&form);
        EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);
        EXPECT_GT(form.width(), 0);
        EXPECT_GT(form.height(), 0);
        if (row.keepsSize) {
            const bool noWidth = row.saved.at("Width") == "0";
            EXPECT_EQ(noWidth ? form.width() : form.height(), noWidth ? 200 : 150);
        }
        const QRect available = form.screen()->availableGeometry();
        EXPECT_TRUE(available.contains(QRect(form.pos(), form.size()))) << form.pos().x() << "," << form.pos().y();
    }
}
