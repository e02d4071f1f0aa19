#pragma once

#include <QColor>
#include <cstdint>
#include <optional>

namespace corvane::ui {

// An OLE colour: an RGB value (red in the low byte) or, with the high byte
// 0x80, a system colour by index (0x8000000F the button face). Returns the
// colour, or nothing when it does not translate.
std::optional<QColor> TranslateOleColor(std::int32_t oleColor);

// The RGB value of a colour, red in the low byte.
std::uint32_t ToRgbValue(const QColor& color);

inline constexpr std::int32_t kButtonFaceColor = static_cast<std::int32_t>(0x8000000F);
inline constexpr std::int32_t kInfoTextColor = static_cast<std::int32_t>(0x80000017);
inline constexpr std::int32_t kInfoBackColor = static_cast<std::int32_t>(0x80000018);

}  // namespace corvane::ui
