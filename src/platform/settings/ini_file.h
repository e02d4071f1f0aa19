#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Reads and writes keys and sections of one INI file: set Filename, Section,
// Key (and Default for reads), then read or assign Value or call a delete;
// Success and LastReturnCode report the last write or delete. Nothing here
// raises for a file failure.
class INIFile {
public:
    // Result of the last write or delete: non-zero done, 0 failed.
    std::int32_t LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }

    const std::string& Default() const { return default_; }
    void SetDefault(std::string sDefault) { default_ = std::move(sDefault); }
    const std::string& Filename() const { return filename_; }
    void SetFilename(std::string sFileName) { filename_ = std::move(sFileName); }
    const std::string& Key() const { return key_; }
    void SetKey(std::string sKey) { key_ = std::move(sKey); }
    const std::string& Section() const { return section_; }
    void SetSection(std::string sSection) { section_ = std::move(sSection); }

    // The key's whole value, or Default when the file, section or key is
    // missing. Leaves LastReturnCode alone.
    std::string Value() const;

    // Writes the value with every NUL removed; a variable passed in loses its
    // NULs too.
    void SetValue(std::string& sValue);
    void SetValue(const std::string& sValue);

    void DeleteKey();
    void DeleteSection();

    // The key names of Section, each followed by a NUL (Default when the
    // section is missing). Assigning any text removes the whole section.
    std::string INISection() const;
    void SetINISection(std::string_view text);

    // Every section name of the file, each followed by a NUL.
    std::string Sections() const;

    // The names of INISection / Sections as a list (0-based here) and their
    // count; empty names are skipped for the sections.
    void EnumerateCurrentSection(std::vector<std::string>& sKey, std::int32_t& iCount) const;
    void EnumerateAllSections(std::vector<std::string>& sSections, std::int32_t& iCount) const;

private:
    std::string filename_;
    std::string key_;
    std::string section_;
    std::string default_;
    std::int32_t lastReturnCode_ = 0;
};

}  // namespace corvane
