#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace corvane {

// The cryptographic primitives under the password cipher: RC4 keyed by the
// MD5 digest of a key text, the way the stored passwords were first made
// (a 40-bit key, digest bytes 0..4 followed by eleven zero bytes).
class CipherBackend {
public:
    virtual ~CipherBackend() = default;

    // Runs RC4 over bytes in place under the key derived from keyText (both
    // Windows-1252 bytes). RC4 is its own inverse; encrypt only names the
    // direction in the message. False with a message when it cannot run;
    // bytes are then unspecified.
    virtual bool Run(std::string& bytes, std::string_view keyText, bool encrypt,
                     std::string& error) = 0;

    // One line naming the provider; "" when it cannot be loaded.
    virtual std::string ProviderName() = 0;
};

// OpenSSL's libcrypto. RC4 lives in the legacy provider, which is loaded into
// a library context of the backend's own; the process-wide default context
// is never changed.
std::unique_ptr<CipherBackend> MakeOpenSslCipherBackend();

// Where every new Cypher takes its backend from. Tests install a failing one;
// an empty factory restores OpenSSL.
using CipherBackendFactory = std::function<std::unique_ptr<CipherBackend>()>;
void SetCipherBackendFactory(CipherBackendFactory factory);
std::unique_ptr<CipherBackend> MakeCipherBackend();

}  // namespace corvane
