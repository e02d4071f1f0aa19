#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// The numbers and texts of a program's version information.
struct VersionInformation {
    std::int16_t major = 0, minor = 0, revision = 0;
    std::string companyName, legalCopyright, legalTrademarks, comments, fileDescription, productName;

    // This program's own.
    static VersionInformation Program();
};

// The program's application information, read afresh at every question,
// and the about window.
class ISetup {
public:
    explicit ISetup(VersionInformation info = VersionInformation::Program());

    bool Installed() const { return true; }
    // The three numbers in plain decimal joined by ":" and by ".".
    std::string Version() const;
    std::string FileVersion() const;
    std::int16_t Major() const { return info_.major; }
    std::int16_t Minor() const { return info_.minor; }
    std::int16_t Revision() const { return info_.revision; }
    std::string CompanyName() const { return info_.companyName; }
    std::string LegalCopyright() const { return info_.legalCopyright; }
    std::string LegalTrademarks() const { return info_.legalTrademarks; }
    std::string Comments() const { return info_.comments; }
    std::string FileDescription() const { return info_.fileDescription; }
    // The help file in the program folder.
    std::string HelpFile() const;
    // The program folder.
    std::string Path() const;
    std::string ProductName() const { return info_.productName; }
    std::string Title() const;
    std::int32_t ThreadID() const;
    // No instance handles here.
    std::int32_t hInstance() const { return 0; }
    bool UnattendedApp() const { return false; }

    // Shows the about window modally and unloads it.
    void ShowAbout() const;

    // The window layer installs how the about window is shown.
    static void SetAboutWindowOpener(std::function<void()> opener);

private:
    VersionInformation info_;
};

}  // namespace corvane
