#pragma once

#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "session/shell/popup_menu_rules.h"

class QLabel;
class QPushButton;

namespace corvane {

class PictureBox;

// The tray menu: a blue-to-black band with the product title and nine items
// in four groups. The pointer and the arrow keys move the highlight over the
// enabled items; a click or Enter on an enabled item raises Selected and
// closes the menu, Esc closes it, and so does the pointer leaving it (checked
// once a second). The object lives on between showings; Load and
// LoadUserOptions prepare each showing.
class frmPopupMenu : public QWidget {
    Q_OBJECT

public:
    explicit frmPopupMenu(QWidget* parent = nullptr);

    bool Administrator() const { return administrator_; }
    void SetAdministrator(bool on) { administrator_ = on; }
    bool Authenticated() const { return authenticated_; }
    void SetAuthenticated(bool on) { authenticated_ = on; }
    // True when the user may change the password, as the main form holds it.
    bool PasswordCannotChange = false;
    bool AllowCorvane = false;
    // The current item; kept from one showing to the next.
    std::int16_t SelectedIndex = 0;

    // Prepares a showing: every item enabled, placed at the pointer, the
    // band drawn, the pointer watch started.
    void Load();
    // Hides the menu and stops the pointer watch; the object stays.
    void Unload();
    void LoadUserOptions();
    void SetLanguage();
    void HighlightItem(int index);
    // The pointer watch's tick.
    void Timer_Timer();

    // Where the pointer (global pixels) and the screen come from.
    void SetPointerSource(std::function<QPoint()> source) { pointer_ = std::move(source); }
    void SetScreenSource(std::function<QRect()> source) { screen_ = std::move(source); }

    QLabel* MenuItem(int index) const { return items_[static_cast<std::size_t>(index)]; }
    QTimer* Timer() { return &timer_; }
    bool FormLoad() const { return formLoad_; }

signals:
    void Selected(std::int16_t Index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Choose(int index);
    void DrawBand();

    std::array<QLabel*, kMenuItemCount> items_{};
    PictureBox* picLogo_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QTimer timer_;
    std::function<QPoint()> pointer_;
    std::function<QRect()> screen_;
    MenuPlace place_;
    bool administrator_ = false;
    bool authenticated_ = false;
    bool formLoad_ = false;
};

}  // namespace corvane
