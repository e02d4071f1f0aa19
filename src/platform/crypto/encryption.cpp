#include "platform/crypto/encryption.h"

#include "platform/crypto/cipher.h"

namespace corvane {

std::string Encryption::DeCode(std::string_view data, std::string_view key) const {
    return Cypher().Decrypt(data, key);
}

std::string Encryption::EnCode(std::string_view data, std::string_view key) const {
    return Cypher().Encrypt(data, key);
}

}  // namespace corvane
