#include "platform/crypto/cipher.h"

#include <array>

#include "platform/core/cp1252.h"
#include "platform/core/raised_error.h"

namespace corvane {
namespace {

// "¿gÞwÆnr%" in Windows-1252: the header of counter 0.
constexpr std::array<unsigned char, 8> kOffsetTable = {0xBF, 0x67, 0xDE, 0x77,
                                                       0xC6, 0x6E, 0x72, 0x25};

constexpr std::int32_t kCipherError = vbObjectError + 999;

// Characters the stored form cannot carry after its header: NUL, Tab, LF and
// CR break the record fields and exports, and a trailing space is lost when
// the field is trimmed on reading.
bool Storable(std::string_view cipher) {
    for (char c : cipher)
        if (c == '\0' || c == '\t' || c == '\n' || c == '\r') return false;
    return cipher.empty() || cipher.back() != ' ';
}

}  // namespace

Cypher::Cypher() : Cypher(MakeCipherBackend()) {}

Cypher::Cypher(std::unique_ptr<CipherBackend> backend) : backend_(std::move(backend)) {}

std::optional<std::string> Cypher::RunCipher(std::string_view bytes, std::string_view keyText,
                                             bool encrypt) {
    if (!backend_) {
        SetCypherError("No cipher provider is available.");
        return std::nullopt;
    }
    std::string buffer(bytes);
    std::string error;
    if (!backend_->Run(buffer, keyText, encrypt, error)) {
        SetCypherError(error);
        return std::nullopt;
    }
    return buffer;
}

std::string Cypher::MakeCounterHeader(std::int64_t counter) {
    std::string header(kOffsetTable.size(), '\0');
    for (std::size_t k = kOffsetTable.size(); k-- > 0;) {
        header[k] = static_cast<char>(kOffsetTable[k] + counter % 10);
        counter /= 10;
    }
    return header;
}

std::int64_t Cypher::ReadCounterHeader(std::string_view header) {
    // No check that each difference is a digit: a damaged header simply names
    // another counter. Eight differences of at most 255 fit easily in 64 bits.
    std::int64_t n = 0;
    for (std::size_t k = 0; k < kOffsetTable.size(); ++k)
        n = n * 10 + (static_cast<unsigned char>(header[k]) - kOffsetTable[k]);
    return n;
}

std::string Cypher::EncryptBytes(std::string_view plain, std::string_view passPhrase) {
    const std::string phrase(passPhrase);
    for (std::int64_t counter = 0; counter < kCounterLimit; ++counter) {
        const auto cipher = RunCipher(plain, phrase + std::to_string(counter), true);
        if (!cipher)
            throw RaisedError(kCipherError, "EncryptData",
                              "The password cipher is not available.\r\n" + lastError_);
        if (Storable(*cipher)) return MakeCounterHeader(counter) + *cipher;
    }
    throw RaisedError(kCipherError, "EncryptData", "This data cannot be successfully encrypted");
}

std::string Cypher::DecryptBytes(std::string_view stored, std::string_view passPhrase) {
    if (stored.size() < kOffsetTable.size())
        throw RaisedError(kErrInvalidProcedureCall, "Cypher.Decrypt",
                          "Invalid procedure call or argument");
    const std::int64_t counter = ReadCounterHeader(stored.substr(0, kOffsetTable.size()));
    const auto plain = RunCipher(stored.substr(kOffsetTable.size()),
                                 std::string(passPhrase) + std::to_string(counter), false);
    if (!plain)
        throw RaisedError(kCipherError, "DecryptData",
                          "The password cipher is not available.\r\n" + lastError_);
    return *plain;
}

std::string Cypher::Encrypt(std::string_view text, std::string_view passPhrase) {
    return cp1252::ToUtf8(EncryptBytes(cp1252::FromUtf8(text), cp1252::FromUtf8(passPhrase)));
}

std::string Cypher::Decrypt(std::string_view stored, std::string_view passPhrase) {
    return cp1252::ToUtf8(DecryptBytes(cp1252::FromUtf8(stored), cp1252::FromUtf8(passPhrase)));
}

std::string Cypher::GetCSPDetails() {
    const std::string name = backend_ ? backend_->ProviderName() : std::string();
    if (name.empty()) {
        SetCypherError("The cipher provider cannot be loaded.");
        return {};
    }
    return "Cryptographic Service Provider name: " + name;
}

}  // namespace corvane
