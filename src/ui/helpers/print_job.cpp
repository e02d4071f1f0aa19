#include "ui/helpers/print_job.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>
#include <QTemporaryDir>
#include <QToolButton>
#include <optional>
#include <string>
#include <utility>

#include "ui/helpers/busy_pointer.h"
#include "ui/helpers/nested_dialogs.h"
#include "ui/helpers/file_dialog.h"
#include "ui/platform_qt/default_printer.h"

namespace corvane {
namespace {

PrintDialogFunction& Dialog() {
    static PrintDialogFunction dialog;
    return dialog;
}

// The dialog's "..." beside the output file asks Corvane's chooser instead of
// Qt's own, which could rename and delete; without the two controls as this
// Qt names them there is no browsing at all.
void RouteOutputChooser(QPrintDialog& dialog) {
    auto* browse = dialog.findChild<QToolButton*>(QStringLiteral("fileBrowser"));
    if (!browse) return;
    QObject::disconnect(browse, &QAbstractButton::clicked, nullptr, nullptr);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    if (!name) {
        browse->hide();
        return;
    }
    QObject::connect(browse, &QAbstractButton::clicked, name, [name, &dialog] {
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Save;
        const QFileInfo current(name->text());
        request.startFolder = current.absolutePath();
        request.fileName = current.fileName();
        request.filters = {QStringLiteral("PDF (*.pdf)"), QStringLiteral("All Files (*)")};
        request.confirmOverwrite = false;  // the print dialog asks at OK
        const QPointer<QLineEdit> field(name);
        const std::optional<QString> chosen = ChooseFile(request, &dialog);
        if (chosen && field) field->setText(*chosen);
    });
}

bool SystemPrintDialog(QPrinter& printer, QWidget* parent) {
    // The window may close while the dialog is open and take the dialog with
    // it; a closed dialog counts as cancelled.
    QPointer<QPrintDialog> dialog = new QPrintDialog(&printer, parent);
    RouteOutputChooser(*dialog);
    const bool accepted = RunNestedDialog(*dialog) == QDialog::Accepted && dialog;
    delete dialog.data();
    return accepted;
}

// The program's default printer as it was, put back whatever way a job ends.
class DefaultPrinterKept {
public:
    DefaultPrinterKept() : choice_(DefaultPrinterChoice()) {}
    ~DefaultPrinterKept() { RestoreDefaultPrinterChoice(choice_); }
    DefaultPrinterKept(const DefaultPrinterKept&) = delete;
    DefaultPrinterKept& operator=(const DefaultPrinterKept&) = delete;

private:
    std::optional<std::string> choice_;
};

class PageWriter {
public:
    PageWriter(QPrinter& printer, QPainter& painter, const QString& family)
        : printer_(printer), painter_(painter), family_(family) {}

    bool Write(const PrintedLine& line) {
        QFont font = family_.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(family_);
        font.setStyleHint(QFont::Monospace);
        font.setPointSizeF(line.pointSize);
        // Unhinted advances keep every column of a fixed-pitch line where it belongs.
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setKerning(false);
        font.setBold(line.bold);
        const QFontMetricsF metrics(font, &printer_);
        const qreal height = printer_.pageRect(QPrinter::DevicePixel).height();
        if (line.newPageBefore || (y_ > 0 && y_ + metrics.lineSpacing() > height)) {
            if (!printer_.newPage()) return false;
            y_ = 0;
        }
        painter_.setFont(font);
        painter_.drawText(QPointF(0, y_ + metrics.ascent()), QString::fromStdString(line.text));
        y_ += metrics.lineSpacing();
        return true;
    }

private:
    QPrinter& printer_;
    QPainter& painter_;
    QString family_;
    qreal y_ = 0;
};

bool Print(QPrinter& printer, const QString& family, const PrintSource& source) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    PageWriter writer(printer, painter, family);
    try {
        std::vector<PrintedLine> lines;
        while (source(lines)) {
            for (const PrintedLine& line : lines) {
                if (!writer.Write(line)) {
                    printer.abort();
                    painter.end();
                    return false;
                }
            }
            lines.clear();
        }
    } catch (...) {
        printer.abort();
        painter.end();
        return false;
    }
    return painter.end();
}

}  // namespace

PrintDialogFunction SetPrintDialog(PrintDialogFunction dialog) {
    return std::exchange(Dialog(), std::move(dialog));
}

bool AskPrintDialog(QPrinter& printer, QWidget* parent) {
    const PrintDialogFunction dialog = Dialog() ? Dialog() : SystemPrintDialog;
    return dialog(printer, parent);
}

QString FixedPitchFamily(const QString& family) {
    QFont font(family);
    font.setStyleHint(QFont::Monospace);
    if (QFontInfo(font).fixedPitch()) return family;
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

bool RunPrintSetup(PrintSetupChoice& choice, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    if (choice.chosen) {
        printer.setPrinterName(choice.printerName);
        printer.setCopyCount(choice.copies);
        printer.setPageOrientation(choice.orientation);
    }
    if (!AskPrintDialog(printer, parent)) return false;
    choice.chosen = true;
    choice.printerName = printer.printerName();
    choice.copies = printer.copyCount();
    choice.orientation = printer.pageLayout().orientation();
    return true;
}

PrintOutcome PrintLines(QWidget* window, const QString& fontFamily, const PrintSource& source,
                        const PrintSetupChoice* setup) {
    // Restored as a whole, so that a job also leaves a choice of no printer
    // or of one not installed here as it found it.
    const DefaultPrinterKept kept;
    const std::optional<QPrinterInfo> remembered = GetDefaultPrinter();
    QPrinter printer(QPrinter::HighResolution);
    if (remembered) printer.setPrinterName(remembered->printerName());
    if (setup && setup->chosen) {
        printer.setPrinterName(setup->printerName);
        printer.setCopyCount(setup->copies);
        printer.setPageOrientation(setup->orientation);
    }
    try {
        if (!AskPrintDialog(printer, window)) return PrintOutcome::Cancelled;
    } catch (...) {
        return PrintOutcome::Failed;
    }

    if (printer.outputFormat() == QPrinter::NativeFormat)
        SetDefaultPrinter(printer.printerName().toStdString(), "", "");
    // A file named in the dialog, whatever format is left set, is printed in a
    // private folder first and then copied through the write guard, which
    // decides when it writes.
    const QString target = printer.outputFileName();
    QTemporaryDir scratch;
    if (!target.isEmpty()) {
        const WriteTargetVerdict verdict = CheckWriteTarget(target.toStdString());
        if (!verdict.allowed) {
            ShowWriteRefused(verdict);
            return PrintOutcome::Cancelled;
        }
        // A folder that is not there fails the job before anything is printed.
        if (!scratch.isValid() || !QFileInfo(QFileInfo(target).absolutePath()).isDir()) return PrintOutcome::Failed;
        printer.setOutputFileName(scratch.filePath(QStringLiteral("print.pdf")));
    }
    bool printed = false;
    {
        BusyPointer busy;
        printed = Print(printer, fontFamily, source);
    }
    if (printed && !target.isEmpty()) {
        const GuardedWrite copied = CopyGuarded(printer.outputFileName().toStdString(), target.toStdString());
        if (copied.result == GuardedWrite::Result::Refused) {
            ShowWriteRefused(copied.verdict);
            return PrintOutcome::Cancelled;
        }
        printed = copied.result == GuardedWrite::Result::Written;
    }
    return printed ? PrintOutcome::Printed : PrintOutcome::Failed;
}

}  // namespace corvane
