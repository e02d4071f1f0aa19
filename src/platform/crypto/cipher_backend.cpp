#include "platform/crypto/cipher_backend.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <array>

namespace corvane {
namespace {

// The provider's key for RC4: 5 bytes of key material and 11 bytes of zero
// salt, 16 bytes in all.
constexpr std::size_t kKeyMaterial = 5;
constexpr std::size_t kRc4KeyLength = 16;

class OpenSslCipherBackend final : public CipherBackend {
public:
    OpenSslCipherBackend() {
        context_ = OSSL_LIB_CTX_new();
        if (!context_) return;
        legacy_ = OSSL_PROVIDER_load(context_, "legacy");
        default_ = OSSL_PROVIDER_load(context_, "default");
        if (!legacy_ || !default_) return;
        md5_ = EVP_MD_fetch(context_, "MD5", nullptr);
        rc4_ = EVP_CIPHER_fetch(context_, "RC4", nullptr);
    }

    ~OpenSslCipherBackend() override {
        EVP_CIPHER_free(rc4_);
        EVP_MD_free(md5_);
        if (default_) OSSL_PROVIDER_unload(default_);
        if (legacy_) OSSL_PROVIDER_unload(legacy_);
        OSSL_LIB_CTX_free(context_);
    }

    OpenSslCipherBackend(const OpenSslCipherBackend&) = delete;
    OpenSslCipherBackend& operator=(const OpenSslCipherBackend&) = delete;

    bool Run(std::string& bytes, std::string_view keyText, bool encrypt,
             std::string& error) override {
        if (!md5_ || !rc4_) {
            error = "Error loading the MD5 and RC4 algorithms of OpenSSL's legacy provider.";
            return false;
        }
        std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
        unsigned int digestLength = 0;
        if (!EVP_Digest(keyText.data(), keyText.size(), digest.data(), &digestLength, md5_,
                        nullptr) ||
            digestLength < kKeyMaterial) {
            error = "Error during the MD5 hash.";
            return false;
        }
        std::array<unsigned char, kRc4KeyLength> key{};
        for (std::size_t i = 0; i < kKeyMaterial; ++i) key[i] = digest[i];

        EVP_CIPHER_CTX* cipher = EVP_CIPHER_CTX_new();
        bool ok = cipher && EVP_CipherInit_ex2(cipher, rc4_, nullptr, nullptr, encrypt ? 1 : 0,
                                                nullptr);
        ok = ok && EVP_CIPHER_CTX_set_key_length(cipher, static_cast<int>(key.size()));
        ok = ok && EVP_CipherInit_ex2(cipher, nullptr, key.data(), nullptr, -1, nullptr);
        if (!ok) {
            EVP_CIPHER_CTX_free(cipher);
            error = "Error during the RC4 key set-up.";
            return false;
        }
        auto* data = reinterpret_cast<unsigned char*>(bytes.data());
        int written = 0;
        int finalWritten = 0;
        ok = EVP_CipherUpdate(cipher, data, &written, data, static_cast<int>(bytes.size())) &&
             EVP_CipherFinal_ex(cipher, data + written, &finalWritten) &&
             static_cast<std::size_t>(written + finalWritten) == bytes.size();
        EVP_CIPHER_CTX_free(cipher);
        OPENSSL_cleanse(key.data(), key.size());
        if (!ok) {
            error = encrypt ? "Error during the RC4 encryption." : "Error during the RC4 decryption.";
            return false;
        }
        return true;
    }

    std::string ProviderName() override {
        if (!legacy_ || !default_) return {};
        return std::string("OpenSSL ") + OpenSSL_version(OPENSSL_VERSION_STRING) +
               " (providers: " + OSSL_PROVIDER_get0_name(legacy_) + ", " +
               OSSL_PROVIDER_get0_name(default_) + ")";
    }

private:
    OSSL_LIB_CTX* context_ = nullptr;
    OSSL_PROVIDER* legacy_ = nullptr;
    OSSL_PROVIDER* default_ = nullptr;
    EVP_MD* md5_ = nullptr;
    EVP_CIPHER* rc4_ = nullptr;
};

CipherBackendFactory& Factory() {
    static CipherBackendFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<CipherBackend> MakeOpenSslCipherBackend() {
    return std::make_unique<OpenSslCipherBackend>();
}

void SetCipherBackendFactory(CipherBackendFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<CipherBackend> MakeCipherBackend() {
    if (Factory()) return Factory()();
    return MakeOpenSslCipherBackend();
}

}  // namespace corvane
