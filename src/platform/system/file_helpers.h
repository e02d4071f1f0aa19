#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace corvane {

// Both "/" and "\" separate folders in the program's paths (paths typed on
// or carried over from other workstations hold "\"); this is the form the
// disk is asked with.
std::string NativePath(std::string_view path);

// The width of a text in pixels, as the window that shows it measures it.
using TextWidth = std::function<int(std::string_view)>;

// The program's small file and path operations. The path texts are looked at
// as text only; the others ask the disk and report failure through their
// result, never by raising (except an overflow of FileCopy's flags).
class File {
public:
    // Settable texts that nothing in the program reads.
    std::string Ext, AppID, OpenCommand, FileType, Icon, NewFileType, NewFileCommand, ExePath;

    static constexpr std::int32_t kSilent = 0x4;
    static constexpr std::int32_t kNoConfirmation = 0x10;

    // Copies (or moves) a file or folder; a destination that is a folder
    // receives it under its own name, an existing file is replaced. 0 on
    // success, else a non-zero error code. Flags that do not fit 16 bits
    // raise the overflow error. FileCopy first lets pending events run.
    std::int32_t FileCopy(const std::string& strSource, const std::string& strDestination,
                          bool blnSilent, bool blnNoConfirm, std::int32_t flags);
    std::int32_t FileMove(const std::string& strSource, const std::string& strDestination,
                          bool blnSilent, bool blnNoConfirm, std::int32_t flags);
    void DeleteFile(const std::string& strFile);
    void CopyFile(const std::string& strSourceFile, const std::string& strDestFile);

    // Makes every missing folder of the path; True when the folder exists
    // afterwards.
    bool CreatePath(const std::string& strPath);

    // The text after the last separator (the whole text when it has none).
    std::string StripPath(std::string_view strFileName) const;
    std::string GetFileName(std::string_view strFileName) const;
    // The text before the first "." (the whole text when it has none).
    std::string StripExtension(std::string_view strFileName) const;
    // The text after the last "."; "" when there is none.
    std::string GetExtension(std::string_view strFileName) const;
    // Trimmed of spaces and of every trailing separator.
    std::string DirClean(std::string_view strDir) const;
    // The text up to and including its last separator; "C:" for "C:file";
    // "" otherwise.
    std::string GetPath(std::string_view strFileSpec) const;
    // The text with a separator added when it does not end in one ("\" when
    // the text uses only "\", else "/").
    std::string FixPath(std::string_view strPath) const;
    bool IsFile(std::string_view strPathName) const;

    // True when the name (a "*"/"?" pattern in its last part, or a folder
    // ending in a separator, meaning any file in it) finds a file; folders do
    // not count. "" and every error give False. Exists counts folders too.
    bool FileExists(const std::string& filename) const;
    bool Exists(const std::string& pathName) const;

    // "/" when the root folder holds the (not hidden) file; "" otherwise.
    std::string FindRootFile(const std::string& strFileName) const;

    // The path with its middle replaced by "..." so that it fits maxPixels as
    // measured by width; the file name is kept whole. The Short form also
    // shortens the file name when even "...\name" is too wide.
    std::string CompactedPath(std::string_view sPath, std::int32_t lMaxPixels,
                              const TextWidth& width) const;
    std::string CompactedPathShort(std::string_view sPath, std::int32_t lMaxPixels,
                                   const TextWidth& width) const;

    // The command line that opens files of the extension (".txt", dot
    // included) as HKEY_CLASSES_ROOT records it; "Unregistered file
    // extension " and the extension when the registry does not know it,
    // "File type is not associated with a program." when its file type has
    // no open command, "" when a value cannot be read.
    std::string GetFileAssociation(std::string_view strExt) const;

    // True when the file the path names (found on disk) has the given name,
    // or the path itself is that name; trimmed, without regard to case.
    bool MatchFileName(const std::string& path, const std::string& name) const;
};

}  // namespace corvane
