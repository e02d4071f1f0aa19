// Renders the website and program catalogue windows and their editors into
// PNG files: catalogue_windows_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "admin/catalogue/websites_programs/frm_program_details.h"
#include "admin/catalogue/websites_programs/frm_programs.h"
#include "admin/catalogue/websites_programs/frm_website_details.h"
#include "admin/catalogue/websites_programs/frm_websites.h"
#include "catalogue/program.h"
#include "catalogue/website.h"
#include "platform/core/program_globals.h"

using namespace corvane;

namespace {

int written = 0, failed = 0;

void Shoot(QWidget& window, const QDir& out, const QString& file) {
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
    if (window.grab().save(out.filePath(file)))
        ++written;
    else
        ++failed;
}

void AddWebsite(const char* url, const char* description, int level) {
    Website w;
    w.SetURL(url);
    w.SetDescription(description);
    w.SetAccessLevel(level);
    w.AddNew();
}

void AddProgram(const char* path, const char* description, int level) {
    Program p;
    p.SetProgramPathName(path);
    p.SetDescription(description);
    p.SetAccessLevel(level);
    p.AddNew();
}

template <typename Window>
void ShootList(const QDir& out, const QString& file) {
    Window window;
    window.Activate();
    Shoot(window, out, file);
}

template <typename Editor>
void ShootEditor(const QDir& out, const QString& file, const std::string& key) {
    Editor editor;
    editor.IsNew = key.empty();
    editor.SetKey(key);
    editor.show();
    editor.Activate();
    Shoot(editor, out, file);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir data;
    // Window metrics go to a registry of this run, not the user's.
    ::setenv("CORVANE_REGISTRY_DIR", data.filePath("registry").toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".") || !data.isValid()) {
        std::fprintf(stderr, "cannot create %s or a data folder\n", argv[1]);
        return 1;
    }
    gDataPath = data.path().toStdString();

    AddWebsite("http://intranet.example/", "The company's intranet", 1);
    AddWebsite("https://www.example.org/", "Example organisation", 0);
    AddWebsite("http://news.example.com/", "Morning news", 3);
    AddProgram("/usr/bin/ls", "List files", 1);
    AddProgram("/opt/office/writer", "Word processor (not installed here)", 1);
    AddProgram("/bin/sh", "Shell", 0);

    ShootList<frmWebsites>(out, QStringLiteral("websites.png"));
    ShootList<frmPrograms>(out, QStringLiteral("programs.png"));
    ShootEditor<frmWebsiteDetails>(out, QStringLiteral("website-details-new.png"), "");
    ShootEditor<frmWebsiteDetails>(out, QStringLiteral("website-details-edit.png"), "http://intranet.example/");
    ShootEditor<frmProgramDetails>(out, QStringLiteral("program-details-new.png"), "");
    ShootEditor<frmProgramDetails>(out, QStringLiteral("program-details-edit.png"), "/bin/sh");

    std::printf("%d written, %d failed\n", written, failed);
    return failed == 0 ? 0 : 1;
}
