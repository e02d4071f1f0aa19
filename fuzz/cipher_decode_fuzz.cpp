// Decodes arbitrary stored forms under arbitrary pass phrases. A stored form
// names its own counter, so decoding the decoded text under the same header
// must give the stored tail back (RC4 is its own inverse); short forms raise
// the invalid-argument error and nothing else.
//
// The same bytes go through the password-hash parser, as they are and behind
// its marker: what it accepts it writes back byte for byte and never in the
// cipher's range, and a cheap cost verifies without a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/raised_error.h"
#include "platform/crypto/cipher.h"
#include "platform/crypto/password_hash.h"

using corvane::Cypher;
using corvane::RaisedError;

namespace {

void CheckHashParser(const std::string& stored, const std::string& password) {
    const auto parts = corvane::ParsePasswordHash(stored);
    if (!parts) {
        if (corvane::VerifyPasswordHash(password, stored)) std::abort();
        return;
    }
    if (corvane::FormatPasswordHash(*parts) != stored || !corvane::IsPasswordHashForm(stored) ||
        stored.size() > corvane::kPasswordFieldWidth)
        std::abort();
    const auto& cost = parts->cost;
    if (cost.logN <= 6 && cost.r * cost.p <= 16) (void)corvane::VerifyPasswordHash(password, stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t phraseLength = data[0] % 24;
    if (size < 1 + phraseLength) return 0;
    const std::string phrase(reinterpret_cast<const char*>(data + 1), phraseLength);
    const std::string stored(reinterpret_cast<const char*>(data + 1 + phraseLength),
                             size - 1 - phraseLength);
    static Cypher cypher;
    CheckHashParser(stored, phrase);
    CheckHashParser("$s$" + stored, phrase);

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
