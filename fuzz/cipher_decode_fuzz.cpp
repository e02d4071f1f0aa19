// Decodes arbitrary stored forms under arbitrary pass phrases. A stored form
// names its own counter, so decoding the decoded text under the same header
// must give the stored tail back (RC4 is its own inverse); short forms raise
// the invalid-argument error and nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/raised_error.h"
#include "platform/crypto/cipher.h"

using corvane::Cypher;
using corvane::RaisedError;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t phraseLength = data[0] % 24;
    if (size < 1 + phraseLength) return 0;
    const std::string phrase(reinterpret_cast<const char*>(data + 1), phraseLength);
    const std::string stored(reinterpret_cast<const char*>(data + 1 + phraseLength),
                             size - 1 - phraseLength);
    static Cypher cypher;

    std::string plain;
    try {
        plain = cypher.DecryptBytes(stored, phrase);
    } catch (const RaisedError& e) {
        if (stored.size() >= 8 || e.Number() != corvane::kErrInvalidProcedureCall) std::abort();
        return 0;
    }
    if (stored.size() < 8 || plain.size() != stored.size() - 8) std::abort();
    if (cypher.DecryptBytes(stored.substr(0, 8) + plain, phrase) != stored.substr(8)) std::abort();

    // The text form reads the bytes as UTF-8 first; what is left may be short.
    try {
        (void)cypher.Decrypt(stored, phrase);
    } catch (const RaisedError& e) {
        if (e.Number() != corvane::kErrInvalidProcedureCall) std::abort();
    }

    // A short text encodes to a storable form that decodes back to it.
    if (plain.size() <= 32) {
        const std::string again = cypher.EncryptBytes(plain, phrase);
        if (cypher.DecryptBytes(again, phrase) != plain) std::abort();
        for (std::size_t k = 8; k < again.size(); ++k)
            if (again[k] == '\0' || again[k] == '\t' || again[k] == '\n' || again[k] == '\r')
                std::abort();
        if (again.size() > 8 && again.back() == ' ') std::abort();
    }
    return 0;
}
