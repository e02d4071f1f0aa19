#include "platform/settings/ini_file.h"

#include "platform/settings/ini_profile.h"

namespace corvane {
namespace {

void SplitNames(const std::string& list, bool skipEmpty, std::vector<std::string>& names, std::int32_t& count) {
    names.clear();
    count = 0;
    std::size_t at = 0;
    for (auto nul = list.find('\0'); nul != std::string::npos; nul = list.find('\0', at)) {
        std::string name = list.substr(at, nul - at);
        at = nul + 1;
        if (skipEmpty && name.empty()) continue;
        names.push_back(std::move(name));
        ++count;
    }
}

}  // namespace

std::string INIFile::Value() const {
    return profile::ReadString(section_, key_, default_, profile::kWholeText, filename_);
}

void INIFile::SetValue(std::string& sValue) {
    std::erase(sValue, '\0');
    lastReturnCode_ = profile::WriteString(section_, key_, sValue, filename_) ? 1 : 0;
}

void INIFile::SetValue(const std::string& sValue) {
    std::string copy = sValue;
    SetValue(copy);
}

void INIFile::DeleteKey() {
    lastReturnCode_ = profile::WriteString(section_, key_, std::nullopt, filename_) ? 1 : 0;
}

void INIFile::DeleteSection() {
    lastReturnCode_ = profile::WriteString(section_, std::nullopt, std::nullopt, filename_) ? 1 : 0;
}

std::string INIFile::INISection() const {
    return profile::ReadString(section_, std::nullopt, default_, profile::kWholeText, filename_);
}

void INIFile::SetINISection(std::string_view text) {
    // Without a key the profile write removes the section; the text is not kept.
    (void)text;
    DeleteSection();
}

std::string INIFile::Sections() const {
    return profile::ReadString(std::nullopt, std::nullopt, default_, profile::kWholeText, filename_);
}

void INIFile::EnumerateCurrentSection(std::vector<std::string>& sKey, std::int32_t& iCount) const {
    SplitNames(INISection(), false, sKey, iCount);
}

void INIFile::EnumerateAllSections(std::vector<std::string>& sSections, std::int32_t& iCount) const {
    SplitNames(Sections(), true, sSections, iCount);
}

}  // namespace corvane
