#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/ole_date.h"
#include "platform/settings/variant.h"

namespace corvane {

// Settings are stored as text; these are the conversions both stores share.

// The classic leading-number reading: blanks, tabs and line feeds anywhere
// are ignored, the number the text begins with is taken ("&H" hexadecimal,
// "&O" octal, else decimal with "." as the only decimal point and an optional
// E or D exponent), and a text without a leading number gives 0. A number
// beyond the double range raises an overflow.
double Val(std::string_view text);

// Val rounded to the nearest whole number, halves to the even neighbour; a
// result outside the type's range raises an overflow.
std::int32_t TextToLong(std::string_view text);
std::int16_t TextToInteger(std::string_view text);

// Val without rounding; beyond the single-precision range raises an overflow.
float TextToSingle(std::string_view text);

// A number with at most the given significant digits, a point for the
// decimal and an upper-case E for the exponent ("1E-05"), whatever the locale.
std::string FormatNumber(double value, int significantDigits);

// Up to seven significant digits, always with a point whatever the locale
// (8 gives "8", 8.5 gives "8.5").
std::string SingleToText(float value);

// Booleans are stored as "True" and "False"; only the exact text "True"
// (letter case counting, no blanks) reads True.
inline std::string BoolToText(bool value) { return value ? "True" : "False"; }
inline bool TextIsTrue(std::string_view text) { return text == "True"; }

// A date-time as "yyyy-mm-dd hh:nn:ss"; the date alone when the time is
// midnight, the time alone on day zero.
std::string DateToText(OleDate value);

// Reads the forms DateToText writes, and a plain number as a day count ("0"
// is 30 December 1899). Any other text raises a type mismatch.
OleDate TextToDate(std::string_view text);

// The text read as up to eight hexadecimal digits ("FF" 255, "FFFFFFFF" -1,
// "00000095" 149); blank, non-hexadecimal or longer text gives 0. Never raises.
std::int32_t HexToLong(std::string_view text);
std::int32_t HexToLong(const Variant& value);
inline std::int32_t HexToLong(const std::string& text) { return HexToLong(std::string_view(text)); }
inline std::int32_t HexToLong(const char* text) { return HexToLong(std::string_view(text)); }

}  // namespace corvane
