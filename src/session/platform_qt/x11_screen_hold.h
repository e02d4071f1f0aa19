#pragma once

#include <QPointer>
#include <vector>

#include "session/helpers/screen_hold.h"

class QWindow;

namespace corvane {

// The screen held on an X11 server: the cover is one frameless full-screen
// window of the program's own on each screen (so a crash leaves none behind),
// stacked beneath the held window, which is made its transient; the grabs are
// the server's active pointer grab (confined to the window) and keyboard grab.
class X11ScreenHold final : public ScreenHold {
public:
    ~X11ScreenHold() override;
    bool Cover(WindowId window) override;
    void Uncover() override;
    bool GrabPointer(WindowId window) override;
    bool GrabKeyboard(WindowId window) override;
    void Ungrab() override;

private:
    std::vector<QPointer<QWindow>> covers_;
};

// The title of each cover window.
inline constexpr const char* kScreenCoverTitle = "Corvane - Login Cover";

// Whether the window is one of the covers.
bool IsScreenCover(const QWindow* window);

// Installs an X11ScreenHold when the application runs on X11 (true then);
// elsewhere (Wayland, offscreen) none, so every take is refused.
bool InstallDesktopScreenHold();

}  // namespace corvane
