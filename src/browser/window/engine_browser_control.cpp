#include "browser/window/engine_browser_control.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <utility>

#include "browser/window/engine_local_files.h"
#include "browser/window/engine_page_dialogs.h"
#include "browser/window/login_browser_profile.h"
#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/nested_dialogs.h"
#include "ui/helpers/print_job.h"

namespace corvane {
namespace {

// How long a command's load may take to start before the engine is taken to have dropped it.
constexpr int kCommandWaitMs = 5000;

NavigationKind KindOf(QWebEnginePage::NavigationType type) {
    switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked: return NavigationKind::Link;
    case QWebEnginePage::NavigationTypeTyped: return NavigationKind::Typed;
    case QWebEnginePage::NavigationTypeFormSubmitted: return NavigationKind::Form;
    case QWebEnginePage::NavigationTypeBackForward: return NavigationKind::BackForward;
    case QWebEnginePage::NavigationTypeReload: return NavigationKind::Reload;
    case QWebEnginePage::NavigationTypeRedirect: return NavigationKind::Redirect;
    default: return NavigationKind::Other;
    }
}

// Enter in the find box searches on, Shift+Enter back; Esc closes the bar.
class FindBox : public QLineEdit {
public:
    FindBox(EngineBrowserControl* control, QWidget* parent) : QLineEdit(parent), control_(control) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            control_->FindNext(event->modifiers() & Qt::ShiftModifier);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            control_->FindBar()->hide();
            control_->SetFocus();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    EngineBrowserControl* control_;
};

}  // namespace

std::string EngineAddressText(const QUrl& url) {
    if (url.isValid()) return url.toString().toStdString();
    // The URL class keeps the text it could not read only in its error text, after
    // `source was "`; the engine's addresses carry no bare quote, so the next one ends it.
    const QString error = url.errorString();
    const QString lead = QStringLiteral("source was \"");
    const qsizetype from = error.indexOf(lead);
    if (from < 0) return {};
    const qsizetype start = from + lead.size();
    const qsizetype end = error.indexOf(QLatin1Char('"'), start);
    return end < 0 ? std::string() : error.mid(start, end - start).toStdString();
}

// A page being saved: the engine writes into a private folder, and the result
// is copied to the name chosen through the write guard.
struct EngineBrowserControl::PendingSave {
    QTemporaryDir scratch;
    QString target;
    QString scratchFile;
};

// Puts the engine's requests to the window before anything happens.
class EnginePage : public QWebEnginePage {
public:
    EnginePage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

    IBrowserEvents* events = nullptr;
    // The page's last request that went ahead: the address the page is loaded from.
    QUrl loaded;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!events) return true;
        const std::string address = EngineAddressText(url);
        bool cancel = false;
        events->brwWebBrowser_BeforeNavigate2(address, KindOf(type), isMainFrame, cancel);
        if (cancel) return false;
        if (isMainFrame) loaded = url;
        // The engine tells no frame's completion: its accepted request stands for it.
        if (!isMainFrame && events) events->brwWebBrowser_NavigateComplete2(address, false);
        return true;
    }

    // The control never opens a window of its own: without a page here the engine asks
    // newWindowRequested, which names the address the page asked for.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

    // The page's boxes are Corvane's own, so that a session's end ends them as it ends the others.
    void javaScriptAlert(const QUrl& origin, const QString& text) override {
        ShowPageAlert(QWebEngineView::forPage(this), origin, text);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& text) override {
        return AskPageConfirm(QWebEngineView::forPage(this), origin, text);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& text, const QString& defaultValue,
                          QString* answer) override {
        return AskPagePrompt(QWebEngineView::forPage(this), origin, text, defaultValue, answer);
    }

    // A page gets a file only through Corvane's chooser, read-only, and never
    // one of Corvane's; a folder upload and a save picker get nothing.
    QStringList chooseFiles(FileSelectionMode mode, const QStringList&, const QStringList&) override {
        if (mode != FileSelectOpen && mode != FileSelectOpenMultiple) return {};
        FileDialogRequest request;
        request.filters = {QStringLiteral("All Files (*)")};
        const std::optional<QString> chosen = ChooseFileToHandOut(request, QWebEngineView::forPage(this));
        return chosen ? QStringList{*chosen} : QStringList{};
    }
};

EngineBrowserControl::EngineBrowserControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("brwWebBrowser"));
    profile_ = LoginBrowserProfile();
    view_ = new QWebEngineView(this);
    page_ = new EnginePage(profile_.get(), view_);
    KeepFilePagesToThemselves(*page_);
    view_->setPage(page_);

    findBar_ = new QWidget(this);
    findBar_->setObjectName(QStringLiteral("fraFind"));
    txtFind_ = new FindBox(this, findBar_);
    txtFind_->setObjectName(QStringLiteral("txtFind"));
    auto* cmdPrevious = new QToolButton(findBar_);
    cmdPrevious->setArrowType(Qt::UpArrow);
    auto* cmdNext = new QToolButton(findBar_);
    cmdNext->setArrowType(Qt::DownArrow);
    auto* cmdClose = new QToolButton(findBar_);
    cmdClose->setText(QStringLiteral("\u2715"));
    auto* lblFind = new QLabel(QString::fromStdString(GetMessageText(126, gLanguage)) + QLatin1Char(':'), findBar_);
    auto* findLayout = new QHBoxLayout(findBar_);
    findLayout->setContentsMargins(4, 2, 2, 2);
    findLayout->addWidget(lblFind);
    findLayout->addWidget(txtFind_, 1);
    findLayout->addWidget(cmdPrevious);
    findLayout->addWidget(cmdNext);
    findLayout->addWidget(cmdClose);
    findBar_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(findBar_);

    connect(cmdPrevious, &QToolButton::clicked, this, [this] { FindNext(true); });
    connect(cmdNext, &QToolButton::clicked, this, [this] { FindNext(false); });
    connect(cmdClose, &QToolButton::clicked, this, [this] {
        findBar_->hide();
        page_->findText(QString());
    });
    connect(txtFind_, &QLineEdit::textChanged, this, [this] { FindNext(false); });

    // The window decides what to open, later: nothing here may wait or close the window.
    connect(page_, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        bool cancel = true;
        if (events_) events_->brwWebBrowser_NewWindow2(EngineAddressText(request.requestedUrl()), cancel);
    });
    connect(page_, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
        if (events_) events_->brwWebBrowser_StatusTextChange(url.toStdString());
    });
    connect(page_, &QWebEnginePage::loadStarted, this, [this] {
        busy_ = true;
        commanded_ = false;
        certificateError_ = false;
    });
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        busy_ = false;
        if (!events_) return;
        // A cancelled or failed load ends here too; only a page that arrived completes, at the
        // address it was loaded from (a script may have pushed another since).
        const QUrl loaded = page_->loaded.isEmpty() ? page_->url() : page_->loaded;
        if (ok) events_->brwWebBrowser_NavigateComplete2(EngineAddressText(loaded), true);
        if (!events_) return;
        events_->brwWebBrowser_DownloadComplete();
        if (events_) events_->brwWebBrowser_SetSecureLockIcon(
            page_->url().scheme() == QLatin1String("https") && !certificateError_ ? 1 : 0);
    });
    // A page's own file pickers (showSaveFilePicker and its kin) are switched
    // off in the engine; a request that still comes is refused.
    connect(page_, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    // A page with a certificate error is not shown (the error is not accepted); no padlock.
    connect(page_, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError&) {
        certificateError_ = true;
        if (events_) events_->brwWebBrowser_SetSecureLockIcon(0);
    });
    // A navigation within the page loads nothing; it only moves the address.
    connect(page_, &QWebEnginePage::urlChanged, this, [this] { commanded_ = false; });
    commandWait_ = new QTimer(this);
    commandWait_->setSingleShot(true);
    commandWait_->setInterval(kCommandWaitMs);
    connect(commandWait_, &QTimer::timeout, this, [this] { commanded_ = false; });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                busy_ = false;
                commanded_ = false;
                if (status != QWebEnginePage::NormalTerminationStatus && events_) events_->brwWebBrowser_EngineFailed();
            });
    connect(view_, &QWebEngineView::printFinished, this, [this](bool ok) {
        printing_ = false;
        emit PrintFinished(ok);
    });
    // Only the page's own save is written, into its private folder; no other
    // download is accepted, so the engine writes no file a page asks for.
    connect(page_->profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* download) {
                if (download->page() != page_ || !download->isSavePageDownload() || !pendingSave_) return;
                const std::shared_ptr<PendingSave> save = std::exchange(pendingSave_, nullptr);
                if (QDir(download->downloadDirectory()).filePath(download->downloadFileName()) != save->scratchFile) {
                    download->cancel();
                    return;
                }
                connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, save] {
                    if (download->isFinished())
                        FinishSave(*save, download->state() == QWebEngineDownloadRequest::DownloadCompleted);
                });
            });
}

EngineBrowserControl::~EngineBrowserControl() {
    events_ = nullptr;
    page_->events = nullptr;
    // The page before the login's store it uses: the store may go with this window.
    delete view_;
}

void EngineBrowserControl::SetEvents(IBrowserEvents* events) {
    events_ = events;
    page_->events = events;
}

// The engine starts a command's load later, from its own queue: until then the control is
// busy with it, unless the command leads nowhere or only to another place in the same page
// at the very address shown (which the engine reports in no way at all). An address the
// engine drops without a word (one it cannot load) ends the wait after a while.
void EngineBrowserControl::Commanded(const QUrl& target) {
    commanded_ = target.isValid() && !(target.hasFragment() && target == page_->url());
    if (commanded_) commandWait_->start();
}

void EngineBrowserControl::Navigate(const std::string& URL) {
    const QUrl target = QUrl::fromUserInput(QString::fromStdString(URL));
    Commanded(target);
    page_->load(target);
}
void EngineBrowserControl::GoBack() {
    QWebEngineHistory* history = page_->history();
    Commanded(history->canGoBack() ? history->backItem().url() : QUrl());
    view_->back();
}
void EngineBrowserControl::GoForward() {
    QWebEngineHistory* history = page_->history();
    Commanded(history->canGoForward() ? history->forwardItem().url() : QUrl());
    view_->forward();
}
void EngineBrowserControl::GoHome() { Navigate(kBrowserHomePage); }
void EngineBrowserControl::GoSearch() { Navigate(kBrowserSearchPage); }
void EngineBrowserControl::Refresh() {
    // A reload always loads the page again, whatever its address holds.
    commanded_ = !page_->url().isEmpty();
    if (commanded_) commandWait_->start();
    view_->reload();
}
void EngineBrowserControl::Stop() {
    view_->stop();
    busy_ = false;
    commanded_ = false;
}

void EngineBrowserControl::ExecWB(OleCommandId command, OleCommandOption) {
    switch (command) {
    case OLECMDID_SAVE:
    case OLECMDID_SAVEAS: Save(); break;
    case OLECMDID_PRINT: Print(); break;
    case OLECMDID_PAGESETUP: PageSetup(); break;
    case OLECMDID_CUT: page_->triggerAction(QWebEnginePage::Cut); break;
    case OLECMDID_COPY: page_->triggerAction(QWebEnginePage::Copy); break;
    case OLECMDID_PASTE: page_->triggerAction(QWebEnginePage::Paste); break;
    case OLECMDID_SELECTALL: page_->triggerAction(QWebEnginePage::SelectAll); break;
    case OLECMDID_FIND: ShowFindBar(); break;
    }
}

std::string EngineBrowserControl::LocationURL() const { return page_->url().toString().toStdString(); }
std::string EngineBrowserControl::LocationName() const { return page_->title().toStdString(); }
void EngineBrowserControl::SetFocus() { view_->setFocus(); }

void EngineBrowserControl::FindNext(bool backward) {
    page_->findText(txtFind_->text(), backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

// Save asks for a name too: the engine keeps no file of its own to save over.
void EngineBrowserControl::Save() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.fileName = page_->title().isEmpty() ? QStringLiteral("page.html") : page_->title() + QStringLiteral(".html");
    request.filters = {QStringLiteral("Web Page (*.html *.htm)"), QStringLiteral("All Files (*)")};
    request.defaultSuffix = QStringLiteral("html");
    const auto path = ChooseFile(request, window());
    if (!path) return;
    auto save = std::make_shared<PendingSave>();
    if (!save->scratch.isValid()) return;
    save->target = *path;
    save->scratchFile = save->scratch.filePath(QFileInfo(*path).fileName());
    pendingSave_ = save;
    page_->save(save->scratchFile, QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
}

// The page and the folder of its parts go beside each other, as the engine laid them out.
void EngineBrowserControl::FinishSave(const PendingSave& save, bool completed) {
    bool saved = completed;
    const QString folder = QFileInfo(save.target).absolutePath();
    const QFileInfoList parts = QDir(save.scratch.path()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& part : parts) {
        if (!saved) break;
        const QString target = part.absoluteFilePath() == QFileInfo(save.scratchFile).absoluteFilePath()
                                   ? save.target
                                   : QDir(folder).filePath(part.fileName());
        saved = ReportGuardedWrite(CopyGuarded(part.absoluteFilePath().toStdString(), target.toStdString()));
    }
    emit SaveFinished(saved);
}

void EngineBrowserControl::Print() {
    if (printing_) return;
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!AskPrintDialog(*printer_, window())) return;
    // Printing to a file (whatever format the dialog left set, the file is a PDF): the engine
    // hands the document over, and it is written through the write guard, text kept as text.
    if (!printer_->outputFileName().isEmpty()) {
        const std::string target = printer_->outputFileName().toStdString();
        if (const WriteTargetVerdict verdict = CheckWriteTarget(target); !verdict.allowed) {
            ShowWriteRefused(verdict);
            return;
        }
        printing_ = true;
        const QPointer<EngineBrowserControl> self(this);
        page_->printToPdf(
            [self, target](const QByteArray& pdf) {
                const bool written = !pdf.isEmpty() && ReportGuardedWrite(WriteFileGuarded(target, [&](std::FILE* f) {
                                         return std::fwrite(pdf.constData(), 1, pdf.size(), f) ==
                                                static_cast<std::size_t>(pdf.size());
                                     }));
                if (!self) return;
                self->printing_ = false;
                emit self->PrintFinished(written);
            },
            printer_->pageLayout());
        return;
    }
    printing_ = true;
    view_->print(printer_.get());
}

void EngineBrowserControl::PageSetup() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPageSetupDialog dialog(printer_.get(), window());
    RunNestedDialog(dialog);
}

void EngineBrowserControl::ShowFindBar() {
    findBar_->show();
    txtFind_->setFocus();
    txtFind_->selectAll();
}

}  // namespace corvane
