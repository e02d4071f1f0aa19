#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "platform/system/file_helpers.h"
#include "ui/platform_qt/default_printer.h"
#include "ui/platform_qt/file_icon.h"
#include "ui/platform_qt/font_text_width.h"

using namespace corvane;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "platform_qt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace

TEST(DefaultPrinter, UnknownDeviceGivesNoPrinterAndTheSystemDefaultIsUntouched) {
    App();
    const QString systemDefault = QPrinterInfo::defaultPrinterName();
    SetDefaultPrinter("", "", "");
    EXPECT_FALSE(GetDefaultPrinter());
    SetDefaultPrinter("No Such Printer 9000", "winspool", "Ne01:");
    EXPECT_FALSE(GetDefaultPrinter());
    EXPECT_EQ(QPrinterInfo::defaultPrinterName(), systemDefault);
}

TEST(FileIcon, SmallIconByDefaultAddedToTheList) {
    App();
    QList<QIcon> images;
    QLabel picture;
    int pixels = 0;
    EXPECT_EQ(ExtractIcon("/bin/sh", &images, &picture, pixels), 1);
    EXPECT_EQ(pixels, 16);
    EXPECT_EQ(picture.width(), 16);
    pixels = 32;
    EXPECT_EQ(ExtractIcon("/no/such/file.txt", &images, &picture, pixels), 2);
    EXPECT_EQ(picture.height(), 32);
    EXPECT_EQ(ExtractIcon("/bin/sh", nullptr, &picture, pixels), 0);
}

TEST(FontTextWidth, ShortensPathsToTheMeasuredWidth) {
    App();
    const TextWidth width = FontTextWidth(QFont());
    const std::string path = "/home/ann/documents/reports/2023/summary.txt";
    const int limit = width("/home/.../summary.txt");
    const std::string shortened = File().CompactedPath(path, limit, width);
    EXPECT_LE(width(shortened), limit);
    EXPECT_NE(shortened.find("...") , std::string::npos);
    EXPECT_EQ(shortened.substr(shortened.size() - 12), "/summary.txt");
}
