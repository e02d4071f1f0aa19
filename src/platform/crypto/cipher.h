#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/crypto/cipher_backend.h"

namespace corvane {

// The password cipher. The stored form is an eight-character counter header
// followed by the RC4 output, one Windows-1252 character per byte (see
// docs/password-cipher.md). The counter is the first one whose cipher text
// holds no NUL, Tab, LF or CR and does not end in a space (a trailing space
// would be trimmed away when the record is read back).
//
// Encrypt/Decrypt take and give UTF-8 text like the rest of the program; the
// ...Bytes forms work on Windows-1252 bytes directly.
class Cypher {
public:
    Cypher();  // takes its backend from MakeCipherBackend()
    explicit Cypher(std::unique_ptr<CipherBackend> backend);

    // The last message of the cipher step; "" at creation.
    const std::string& LastError() const { return lastError_; }

    // Raises vbObjectError + 999 (source "EncryptData") when no counter
    // qualifies or the cipher cannot run; never returns a partial result.
    std::string Encrypt(std::string_view text, std::string_view passPhrase);
    std::string EncryptBytes(std::string_view plain, std::string_view passPhrase);

    // A stored form of fewer than eight characters raises the runtime's
    // invalid-argument error; a cipher that cannot run raises vbObjectError +
    // 999 (source "DecryptData"). A damaged header or another pass phrase
    // decodes, without error, to other characters of the same length.
    std::string Decrypt(std::string_view stored, std::string_view passPhrase);
    std::string DecryptBytes(std::string_view stored, std::string_view passPhrase);

    // "Cryptographic Service Provider name: " and the provider; "" (with
    // LastError set) when the provider cannot be loaded.
    std::string GetCSPDetails();

    static constexpr std::int64_t kCounterLimit = 99999999;

private:
    std::optional<std::string> RunCipher(std::string_view bytes, std::string_view keyText,
                                         bool encrypt);
    void SetCypherError(std::string message) { lastError_ = std::move(message); }
    static std::string MakeCounterHeader(std::int64_t counter);
    static std::int64_t ReadCounterHeader(std::string_view header);

    std::unique_ptr<CipherBackend> backend_;
    std::string lastError_;
};

}  // namespace corvane
