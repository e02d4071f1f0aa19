#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPair>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "session/console/console_model.h"
#include "session/console/stock_pictures.h"

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;

namespace corvane {

class ConsoleListView;

// Item data roles of the list's first cell.
inline constexpr int kConsoleTagRole = Qt::UserRole + 1;
inline constexpr int kConsoleKeyRole = Qt::UserRole + 2;
inline constexpr int kConsolePictureKeyRole = Qt::UserRole + 3;
inline constexpr int kConsoleSmallPictureRole = Qt::UserRole + 4;  // 1-based in SmallIcons
inline constexpr int kConsoleLargePictureRole = Qt::UserRole + 5;  // 1-based in LargeIcons

// The secure console: the commands the user's rights allow and the user's
// programs in one list, each launched by a double click, Enter or the
// pop-up menu's Select. Opened modeless by ShowSecureConsole; the list is
// built at its first activation.
class frmSecureConsole : public QWidget {
    Q_OBJECT

public:
    explicit frmSecureConsole(QWidget* parent = nullptr);
    ~frmSecureConsole() override;

    bool Cancelled() const { return cancelled_; }
    void SetCancelled(bool v) { cancelled_ = v; }
    bool FormLoad() const { return formLoad_; }
    void SetFormLoad(bool v) { formLoad_ = v; }
    bool IsDirty() const { return false; }
    // The list has items and one of them is selected.
    bool ItemSelected() const;
    // Rebuilds the list and the status bar (F5, Refresh).
    void LoadData();
    void RefreshStatusBar();
    // The captions; rebuilds the columns, which empties the list.
    void SetLanguage();

    // Launches the selected item.
    void LaunchSelected();
    // Starts the selected program when the program rule allows it now.
    void RunSelectedProgram();

    // The item on a row of the list as it stands.
    ConsoleItem ItemAt(int row) const;

    // Where a program file's icon comes from (tests give files without
    // one); an empty function restores the desktop's file icons.
    using IconExtractor = std::function<int(const std::string& file, QList<QIcon>* list, QLabel* pictureBox,
                                            int& pixels)>;
    static void SetIconExtractor(IconExtractor extractor);

    ConsoleListView* lsvItems() const { return lsvItems_; }
    QToolBar* Toolbar1() const { return toolbar_; }
    // Buttons 1 to 9 of the tool bar (6 and 8 are separators).
    QAction* ToolButton(int index) const { return buttons_.value(index - 1); }
    QStatusBar* StatusBar() const { return statusBar_; }
    QLabel* Panel(int index) const { return panels_.value(index - 1); }
    QMenu* mnuPopUp() const { return mnuPopUp_; }
    QAction* mnuPopUpItem(int index) const { return popUpItems_.value(index); }
    const ImageList& SmallIcons() const { return smallIcons_; }
    const ImageList& LargeIcons() const { return largeIcons_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolBar();
    void BuildPopUpMenu();
    void BuildColumns();
    void AddItem(const ConsoleItem& item);
    QPair<int, int> FilePictures(const std::string& path);
    void ShowPopUpMenu(const QPoint& globalPos);
    void ApplyNoCancel();
    void RestoreFormMetrics();
    void SaveFormMetrics();
    void LayoutControls();
    void FitColumns();

    bool cancelled_ = false;
    bool formLoad_ = true;
    bool metricsSaved_ = false;
    bool firstOpening_ = false;
    ConsoleListView* lsvItems_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QList<QAction*> buttons_;
    QStatusBar* statusBar_ = nullptr;
    QList<QLabel*> panels_;
    QMenu* mnuPopUp_ = nullptr;
    QList<QAction*> popUpItems_;
    QLabel* picBuffer_ = nullptr;
    ImageList smallIcons_;
    ImageList largeIcons_;
    // Each program file's small and large picture, taken once.
    QHash<QString, QPair<int, int>> filePictures_;
};

}  // namespace corvane
