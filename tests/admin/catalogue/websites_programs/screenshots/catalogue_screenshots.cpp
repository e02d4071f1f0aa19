// Renders the website and program catalogue windows and their editors into
// PNG files: catalogue_windows_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <cstdio>
#include <cstdlib>

#include "admin/catalogue/websites_programs/frm_program_details.h"
#include "admin/catalogue/websites_programs/frm_programs.h"
#include "admin/catalogue/websites_programs/frm_website_details.h"
#include "admin/catalogue/websites_programs/frm_websites.h"
#include "catalogue/program.h"
#include "catalogue/website.h"
#include "platform/core/program_globals.h"
#include "ui/screenshot_writer.h"

using namespace corvane;

namespace {

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
void ShootList(test::ScreenshotWriter& shots, const QString& file) {
    Window window;
    window.Activate();
    shots.Save(window, file);
}

template <typename Editor>
void ShootEditor(test::ScreenshotWriter& shots, const QString& file, const std::string& key) {
    Editor editor;
    editor.IsNew = key.empty();
    editor.SetKey(key);
    editor.show();
    editor.Activate();
    shots.Save(editor, file);
}

}  // namespace

int main(int argc, char** argv) {
    const QDir data = test::ScratchFolder("catalogue");
    // Window metrics go to a registry of this run, not the user's.
    ::setenv("CORVANE_REGISTRY_DIR", data.filePath("registry").toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    if (!data.exists()) {
        std::fprintf(stderr, "cannot create a data folder\n");
        return 1;
    }
    gDataPath = data.path().toStdString();

    AddWebsite("http://intranet.example/", "The company's intranet", 1);
    AddWebsite("https://www.example.org/", "Example organisation", 0);
    AddWebsite("http://news.example.com/", "Morning news", 3);
    AddProgram("/usr/bin/ls", "List files", 1);
    AddProgram("/opt/office/writer", "Word processor (not installed here)", 1);
    AddProgram("/bin/sh", "Shell", 0);

    ShootList<frmWebsites>(shots, QStringLiteral("websites.png"));
    ShootList<frmPrograms>(shots, QStringLiteral("programs.png"));
    ShootEditor<frmWebsiteDetails>(shots, QStringLiteral("website-details-new.png"), "");
    ShootEditor<frmWebsiteDetails>(shots, QStringLiteral("website-details-edit.png"), "http://intranet.example/");
    ShootEditor<frmProgramDetails>(shots, QStringLiteral("program-details-new.png"), "");
    ShootEditor<frmProgramDetails>(shots, QStringLiteral("program-details-edit.png"), "/bin/sh");

    return shots.Finish();
}
