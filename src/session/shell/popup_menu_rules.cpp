#include "session/shell/popup_menu_rules.h"

namespace corvane {

MenuEnabling MenuEnablingFor(const MenuSession& s, MenuEnabling items) {
    if (s.authenticated) {
        const bool admin = s.administrator;
        items[0] = false;
        items[1] = true;
        items[3] = admin;
        items[4] = admin || s.mayChangePassword;
        items[5] = admin;
        items[6] = admin;
        items[7] = admin;
    } else if (s.requireLogin) {
        items[0] = true;
        for (int i = 1; i <= 7; ++i) items[i] = false;
    } else {
        items = {false, false, true, true, false, false, true, true, items[8]};
    }
    return items;
}

MenuPlace PlaceMenu(int x, int y, int width, int height, int screenRight, int screenBottom) {
    MenuPlace place{x, y};
    if (place.left + width > screenRight) place.left = x - width;
    if (place.top + height > screenBottom) place.top = y - height;
    return place;
}

bool PointerOnMenu(const MenuPlace& place, int width, int height, int x, int y) {
    return x >= place.left && x <= place.left + width && y >= place.top && y <= place.top + height;
}

}  // namespace corvane
