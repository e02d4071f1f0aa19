#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace corvane {

// The six security levels, 0 No Security to 5 Maximum Security; each writes
// every option of kLockdownWriteOrder, on or off, then the drive mask, so
// applying one replaces whatever was set before.
inline constexpr std::int32_t kSecurityLevelCount = 6;

// A level's name and description by message number.
struct SecurityLevelText {
    int nameMessage;
    int descriptionMessage;
};
inline constexpr std::array<SecurityLevelText, kSecurityLevelCount> kSecurityLevelTexts = {{
    {402, 679}, {403, 680}, {404, 681}, {405, 682}, {406, 683}, {407, 684},
}};

// The texts in the given language; "" for a level outside 0 to 5.
std::string SecurityLevelName(std::int32_t level, int language);
std::string SecurityLevelDescription(std::int32_t level, int language);

// Whether the level switches the option on (the drive mask: level 4 hides A:
// and C:, level 5 every drive, the others none).
bool SecurityLevelSwitchesOn(std::int32_t level, std::int32_t option);
std::uint32_t SecurityLevelDriveMask(std::int32_t level);

// Writes the level's options; a level outside 0 to 5 does nothing. A write
// that raises stops the level, leaving the writes before it.
void ApplySecurityLevel(std::int32_t level);
void ApplyNoSecurity();
void ApplyLowSecurity();
void ApplyMediumSecurity();
void ApplyHighSecurity();
void ApplyVeryHighSecurity();
void ApplyMaximumSecurity();

// Makes sure a log-off is followed by something: "Action After Logout" on,
// and a "Logout Action" of 0 becomes 1 (2, shutting down, stays). Saves
// nothing: the caller saves the global settings.
void ForceActionAfterLogout();

}  // namespace corvane
