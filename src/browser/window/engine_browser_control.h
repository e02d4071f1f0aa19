#pragma once

#include <QWidget>
#include <memory>

#include "browser/window/browser_control.h"

class QLineEdit;
class QPrinter;
class QTimer;
class QUrl;
class QWebEngineProfile;
class QWebEngineView;

namespace corvane {

class EnginePage;

// An address as the engine gave it: the URL's text, or for a URL the URL class cannot read
// (a host label ending in "-", say) the text it was given; "" when none can be told.
std::string EngineAddressText(const QUrl& url);

// The browser control over QtWebEngine: the view with a find bar below it (hidden until Find).
// Every navigation request is put to BeforeNavigate2; a frame's accepted request stands for its
// completion, since the engine reports completions only for the whole page.
class EngineBrowserControl : public QWidget, public IBrowserControl {
    Q_OBJECT

public:
    explicit EngineBrowserControl(QWidget* parent = nullptr);
    ~EngineBrowserControl() override;

    void SetEvents(IBrowserEvents* events) override;
    void Navigate(const std::string& URL) override;
    void GoBack() override;
    void GoForward() override;
    void GoHome() override;
    void GoSearch() override;
    void Refresh() override;
    void Stop() override;
    void ExecWB(OleCommandId command, OleCommandOption option) override;
    std::string LocationURL() const override;
    std::string LocationName() const override;
    // From a command until the load it started has ended, and while a page loads.
    bool Busy() const override { return busy_ || commanded_; }
    void SetFocus() override;

    QWebEngineView* View() const { return view_; }
    QWidget* FindBar() const { return findBar_; }
    // Searches the page for the find bar's text, forwards or backwards.
    void FindNext(bool backward = false);

signals:
    // A print job has ended (true when it was printed).
    void PrintFinished(bool printed);
    // A page save has ended (true when the page was written where it was asked).
    void SaveFinished(bool saved);

private:
    struct PendingSave;
    void Save();
    void FinishSave(const PendingSave& save, bool completed);
    void Print();
    void PageSetup();
    void ShowFindBar();
    // A command asked the engine for target; the control is busy until the engine starts it.
    void Commanded(const QUrl& target);

    // The login's store; the view and its page go before it.
    std::shared_ptr<QWebEngineProfile> profile_;
    QWebEngineView* view_ = nullptr;
    EnginePage* page_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* txtFind_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    std::shared_ptr<PendingSave> pendingSave_;
    IBrowserEvents* events_ = nullptr;
    bool busy_ = false;
    // A command's load that the engine has not started yet.
    bool commanded_ = false;
    QTimer* commandWait_ = nullptr;
    bool printing_ = false;
    bool certificateError_ = false;
};

}  // namespace corvane
