#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "session/helpers/screen_hold.h"

class QWindow;

namespace corvane {

// The screen held on an X11 server: the cover is one frameless full-screen
// window of the program's own on each screen (so a crash leaves none behind),
// stacked beneath the held window, which is made its transient; the grabs are
// the server's active pointer grab (confined to the window) and keyboard grab,
// which the server moves from window to window of one program without letting
// go. While covered, the root window's children are watched through the
// program's own X connection: a window of another program mapped or raised
// above a cover is put beneath it at once.
class X11ScreenHold final : public ScreenHold {
public:
    X11ScreenHold();
    ~X11ScreenHold() override;
    bool Cover(WindowId window) override;
    void Uncover() override;
    bool GrabPointer(WindowId window) override;
    bool GrabKeyboard(WindowId window) override;
    void Ungrab() override;

    class CoverKeeper;

private:
    std::vector<QPointer<QWindow>> covers_;
    std::unique_ptr<CoverKeeper> keeper_;
};

// The title of each cover window.
inline constexpr const char* kScreenCoverTitle = "Corvane - Login Cover";

// Whether the window is one of the covers.
bool IsScreenCover(const QWindow* window);

// Installs an X11ScreenHold when the application runs on X11 (true then);
// elsewhere (Wayland, offscreen) none, so every take is refused.
bool InstallDesktopScreenHold();

}  // namespace corvane
