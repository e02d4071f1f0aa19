#include "session/console/i_setup.h"

#include <unistd.h>

#include "platform/core/environment.h"
#include "platform/core/program_title.h"
#include "platform/core/version_info.h"
#include "ui_core/help.h"

namespace corvane {
namespace {

std::function<void()>& AboutOpener() {
    static std::function<void()> opener;
    return opener;
}

std::string Joined(const VersionInformation& v, const char* separator) {
    return std::to_string(v.major) + separator + std::to_string(v.minor) + separator + std::to_string(v.revision);
}

}  // namespace

VersionInformation VersionInformation::Program() {
    return {version::kMajor,          version::kMinor,         version::kRevision,
            version::kCompanyName,    version::kLegalCopyright, version::kLegalTrademarks,
            version::kComments,       version::kFileDescription, version::kProductName};
}

ISetup::ISetup(VersionInformation info) : info_(std::move(info)) {}

std::string ISetup::Version() const { return Joined(info_, ":"); }
std::string ISetup::FileVersion() const { return Joined(info_, "."); }
std::string ISetup::HelpFile() const { return Path() + "/" + kHelpFileName; }
std::string ISetup::Path() const { return environment::ProgramFolder(); }
std::string ISetup::Title() const { return kProgramTitle; }
std::int32_t ISetup::ThreadID() const { return static_cast<std::int32_t>(::gettid()); }

void ISetup::ShowAbout() const {
    if (AboutOpener()) AboutOpener()();
}

void ISetup::SetAboutWindowOpener(std::function<void()> opener) { AboutOpener() = std::move(opener); }

}  // namespace corvane
