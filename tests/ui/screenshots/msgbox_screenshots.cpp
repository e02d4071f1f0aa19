// Renders the message box with every icon and button set into PNG files for
// a person to look at: msgbox_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QTimer>
#include <memory>

#include "ui/msgbox/frm_enh_msg_box.h"
#include "ui/screenshot_writer.h"
#include "ui_core/msgbox/msgbox_seam.h"
#include "ui_core/msgbox/ui_msg_box.h"

using namespace corvane;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    test::ScreenshotWriter shots(argc, argv);
    if (!shots.Ready()) return shots.NotReadyCode();
    SetMsgBoxPresenter(std::make_shared<EnhMsgBoxPresenter>());

    const struct {
        int flag;
        const char* name;
    } icons[] = {{0, "none"}, {16, "critical"}, {32, "question"}, {48, "exclamation"},
                 {64, "information"}};
    const char* sets[] = {"ok", "okcancel", "abortretryignore", "yesnocancel", "yesno",
                          "retrycancel"};
    const auto shoot = [&](const QString& file, const MsgBoxRequest& request) {
        // Grab the box once it is up, then close it.
        auto* watcher = new QTimer(&app);
        QObject::connect(watcher, &QTimer::timeout, watcher, [&, watcher, file] {
            auto* box = qobject_cast<frmEnhMsgBox*>(QApplication::activeModalWidget());
            if (!box) return;
            watcher->stop();
            watcher->deleteLater();
            shots.Save(box->grab(), file);
            box->close();
        });
        watcher->start(20);
        PresentMsgBox(request);
    };

    for (const auto& icon : icons) {
        for (int set = 0; set < 6; ++set) {
            MsgBoxRequest r;
            r.prompt = "Are you sure you want to delete the selected item?";
            r.buttons = icon.flag + set;
            r.title = "Corvane";
            shoot(QStringLiteral("msgbox-%1-%2.png").arg(icon.name, sets[set]), r);
        }
    }
    MsgBoxRequest help;
    help.prompt = "Two lines of text,\r\nwith a Help button.";
    help.buttons = 64 + 3 + 16384;
    help.title = "Corvane";
    shoot("msgbox-information-yesnocancel-help.png", help);

    MsgBoxRequest wide;
    wide.prompt = std::string(
        "A long message that does not fit on one line wraps at the widest the box may be, and the "
        "box grows downwards to hold every line of it, however many lines that takes.");
    wide.buttons = 48;
    wide.title = "Corvane";
    shoot("msgbox-exclamation-ok-wrapped.png", wide);

    MsgBoxRequest rich;
    rich.prompt = "<B>Bold</B>, <I>italic</I>, <COLOR=255>red</COLOR> and <U>underlined</U>.";
    rich.buttons = 32 + 4;
    rich.title = "Corvane";
    rich.richText = true;
    shoot("msgbox-question-yesno-rich.png", rich);

    return shots.Finish();
}
