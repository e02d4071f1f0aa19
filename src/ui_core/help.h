#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace corvane {

// Help commands of the help viewer.
inline constexpr int kHelpDisplayTopic = 0;
inline constexpr int kHelpContext = 15;

// The program's help file, in the program folder.
inline constexpr const char* kHelpFileName = "Corvane.chm";

// Opens the compiled help file through the desktop's help viewer.
class HTMLHelp {
public:
    // A non-empty pane names a window type: the target becomes the trimmed
    // file, ">" and the trimmed pane. With a context the viewer is asked for
    // that topic, otherwise for the file's default topic.
    void ShowHelp(const std::string& newFile, const std::string& windowPane,
                  std::optional<std::int32_t> contextId = std::nullopt);

    // The target ShowHelp opens.
    static std::string Target(const std::string& newFile, const std::string& windowPane);
};

// Opens the help file when it exists; an empty path becomes the program's
// own help file, and the caller's variable keeps that path. Never fails.
void ShowHelpFile(std::string& helpFilePath);

// Starts the system-information tool named in the registry, or says "System
// Information Is Unavailable At This Time" when there is none. The tool
// starts only when mayStart allows its path; a refusal is mayStart's to tell.
void ShowSystemInformation(const std::function<bool(const std::string& program)>& mayStart);

}  // namespace corvane
