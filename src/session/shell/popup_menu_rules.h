#pragma once

#include <array>

namespace corvane {

// The tray menu's nine items: 0 Login, 1 Log Off, 2 Secure Console,
// 3 Corvane, 4 Change Password, 5 Security, 6 Options, 7 Unload, 8 Close.
inline constexpr int kMenuItemCount = 9;
using MenuEnabling = std::array<bool, kMenuItemCount>;

// Caption message and top edge (twips) of each item.
inline constexpr std::array<int, kMenuItemCount> kMenuItemMessages{266, 336, 170, 290, 304,
                                                                   148, 20,  267, 26};
inline constexpr std::array<int, kMenuItemCount> kMenuItemTops{60,   330,  660,  1050, 1320,
                                                               1590, 1860, 2280, 2550};
// Top edges (twips) of the separators between the four groups.
inline constexpr std::array<int, 3> kMenuSeparatorTops{600, 930, 2190};

// The session as the menu is told it.
struct MenuSession {
    bool requireLogin = false;
    bool authenticated = false;
    bool administrator = false;
    bool mayChangePassword = false;  // the main form's PasswordCannotChange
};

// The items' enabling after applying the session to the current one; an item
// the session does not decide keeps its state.
MenuEnabling MenuEnablingFor(const MenuSession& session, MenuEnabling current);

// Where the menu opens for a pointer at (x, y), all in pixels: below and to
// the right of the pointer, or above / to the left where the screen ends.
struct MenuPlace {
    int left = 0;
    int top = 0;
    bool operator==(const MenuPlace&) const = default;
};
MenuPlace PlaceMenu(int x, int y, int width, int height, int screenRight, int screenBottom);

// The pointer watch: the point lies on the menu, its edges included.
bool PointerOnMenu(const MenuPlace& place, int width, int height, int x, int y);

}  // namespace corvane
