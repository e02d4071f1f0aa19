#include "ui/helpers/ole_color.h"

#include <QApplication>
#include <QPalette>

namespace corvane::ui {
namespace {

std::optional<QPalette::ColorRole> SystemRole(int index) {
    switch (index) {
        case 0x01: return QPalette::Window;        // desktop
        case 0x04: return QPalette::Window;        // menu
        case 0x05: return QPalette::Base;          // window
        case 0x06: return QPalette::Shadow;        // window frame
        case 0x07: return QPalette::WindowText;    // menu text
        case 0x08: return QPalette::Text;          // window text
        case 0x0A: return QPalette::Window;        // active border
        case 0x0D: return QPalette::Highlight;
        case 0x0E: return QPalette::HighlightedText;
        case 0x0F: return QPalette::Button;        // button face
        case 0x10: return QPalette::Dark;          // button shadow
        case 0x11: return QPalette::PlaceholderText;  // grey text
        case 0x12: return QPalette::ButtonText;
        case 0x14: return QPalette::Light;         // button highlight
        case 0x15: return QPalette::Shadow;        // 3-D dark shadow
        case 0x16: return QPalette::Midlight;      // 3-D light
        case 0x17: return QPalette::ToolTipText;   // info text
        case 0x18: return QPalette::ToolTipBase;   // info background
        default: return std::nullopt;
    }
}

}  // namespace

std::optional<QColor> TranslateOleColor(std::int32_t oleColor) {
    const auto value = static_cast<std::uint32_t>(oleColor);
    const std::uint32_t high = value >> 24;
    if (high == 0x00) return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    if (high == 0x80) {
        const auto role = SystemRole(static_cast<int>(value & 0xFF));
        if (!role) return std::nullopt;
        const QPalette palette = qApp ? QApplication::palette() : QPalette();
        return palette.color(QPalette::Active, *role);
    }
    return std::nullopt;
}

std::uint32_t ToRgbValue(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

}  // namespace corvane::ui
