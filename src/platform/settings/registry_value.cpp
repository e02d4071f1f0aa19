#include "platform/settings/registry_value.h"

namespace corvane {

std::string RegistryValue::GetTypeWord(bool Friendly) const {
    struct Words { const char* friendly; const char* brief; };
    static const Words words[] = {
        {"String", "SZ"},
        {"String With Environment Variables", "EXPANDSZ"},
        {"Binary", "BINARY"},
        {"DWord", "DWORD"},
        {"DWord (Big Endian)", "DWORD(B)"},
        {"Link", "LINK"},
        {"Multiple Strings", "MULTISZ"},
    };
    if (dataType_ >= 1 && dataType_ <= 7) {
        const Words& w = words[dataType_ - 1];
        return Friendly ? w.friendly : w.brief;
    }
    return Friendly ? "None" : "NONE";
}

}  // namespace corvane
