#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/crypto/cipher.h"
#include "platform/core/cp1252.h"
#include "platform/crypto/encryption.h"
#include "platform/core/raised_error.h"

using namespace corvane;

namespace {

const char* const kPassPhrase = "A1B2C3D4E5F60718293A4B5C6D7E8F90F1E2D3C4B5A69788796A5B4C3D2E1F00";

std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// RC4 that cannot run, as when the legacy provider is missing.
class BrokenBackend final : public CipherBackend {
public:
    bool Run(std::string&, std::string_view, bool, std::string& error) override {
        error = "no provider";
        return false;
    }
    std::string ProviderName() override { return {}; }
};

}  // namespace

TEST(Cypher, StoredFormsMatchTheOnesWorkstationsAlreadyHold) {
    struct Case { const char* plain; const char* stored; };
    const Case cases[] = {
        {"", "bf 67 de 77 c6 6e 72 25"},
        {"password", "bf 67 de 77 c6 6e 72 25 83 de 6d 07 e2 5c 4c 34"},
        {"test", "bf 67 de 77 c6 6e 72 26 2c 8d d3 e1"},  // counter 0 gives a Tab
    };
    for (const auto& c : cases) {
        Cypher cypher;
        const std::string stored = cypher.EncryptBytes(c.plain, kPassPhrase);
        EXPECT_EQ(Hex(stored), c.stored) << c.plain;
        EXPECT_EQ(cypher.DecryptBytes(stored, kPassPhrase), c.plain);
    }
}

TEST(Cypher, EveryByteValueRoundTripsAndTheStoredFormIsFieldSafe) {
    Cypher cypher;
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    // Single characters, including NUL, Tab, LF, CR and bytes above 0x7F.
    for (int b = 0; b < 256; ++b) {
        const std::string plain(1, static_cast<char>(b));
        const std::string stored = cypher.EncryptBytes(plain, kPassPhrase);
        ASSERT_EQ(cypher.DecryptBytes(stored, kPassPhrase), plain) << b;
    }
    for (const std::string& plain : {all, std::string("tab\there\r\nline"), std::string(40, 'x')}) {
        const std::string stored = cypher.EncryptBytes(plain, kPassPhrase);
        ASSERT_EQ(stored.size(), plain.size() + 8);
        const std::string body = stored.substr(8);
        EXPECT_EQ(body.find_first_of(std::string("\0\t\n\r", 4)), std::string::npos);
        EXPECT_NE(body.back(), ' ');
        EXPECT_EQ(cypher.DecryptBytes(stored, kPassPhrase), plain);
    }
}

TEST(Cypher, NoStoredFormEndsInASpaceThatTrimmingWouldEat) {
    // Under counter 0 every four-character password ending in "T" enciphers
    // to a text ending in a space; trimmed on load, that stored form never
    // decoded to the password again. Such counters are now skipped.
    Cypher cypher;
    for (const char* plain : {"abcT", "pasT", "zzzT"}) {
        const std::string stored = cypher.EncryptBytes(plain, kPassPhrase);
        ASSERT_EQ(stored.size(), 12u);
        EXPECT_NE(stored.back(), ' ') << plain;
        EXPECT_NE(Hex(stored.substr(0, 8)), "bf 67 de 77 c6 6e 72 25") << "counter 0 kept";
        const std::string trimmed = cp1252::FromUtf8(cp1252::FromField(stored));
        EXPECT_EQ(cypher.DecryptBytes(trimmed, kPassPhrase), plain);
    }
}

// RC4 whose output holds a Tab for every counter below 12, to see which
// counter the header records and how it reaches the key.
class TabBelowTwelve final : public CipherBackend {
public:
    bool Run(std::string& bytes, std::string_view keyText, bool, std::string&) override {
        const auto digits = keyText.substr(keyText.find_last_not_of("0123456789") + 1);
        keys.emplace_back(keyText);
        if (std::stoi(std::string(digits)) < 12 && !bytes.empty()) bytes[0] = '\t';
        return true;
    }
    std::string ProviderName() override { return "test"; }
    std::vector<std::string> keys;
};

TEST(Cypher, HeaderCarriesTheCounterAndDamageDecodesToOtherText) {
    auto backend = std::make_unique<TabBelowTwelve>();
    auto* seen = backend.get();
    Cypher counting(std::move(backend));
    const std::string stored = counting.EncryptBytes("abc", "key");
    EXPECT_EQ(Hex(stored.substr(0, 8)), "bf 67 de 77 c6 6e 73 27");  // last two raised by 1 and 2
    ASSERT_EQ(seen->keys.size(), 13u);
    EXPECT_EQ(seen->keys.front(), "key0");
    EXPECT_EQ(seen->keys.back(), "key12");
    seen->keys.clear();
    EXPECT_EQ(counting.DecryptBytes(stored, "key"), "abc");
    EXPECT_EQ(seen->keys, std::vector<std::string>{"key12"});

    Cypher cypher;
    const std::string secret = cypher.EncryptBytes("secret", kPassPhrase);
    EXPECT_EQ(cypher.DecryptBytes(secret.substr(0, 8), kPassPhrase), "");
    const std::string other = cypher.DecryptBytes(secret, "another phrase");
    EXPECT_EQ(other.size(), 6u);
    EXPECT_NE(other, "secret");
    std::string damaged = secret;
    damaged[3] = '\x01';  // far below the table: a negative digit
    EXPECT_EQ(cypher.DecryptBytes(damaged, kPassPhrase).size(), 6u);
}

TEST(Cypher, ShortStoredFormsAndBrokenBackendsRaiseInsteadOfMatchingEmpty) {
    Cypher cypher;
    try {
        cypher.DecryptBytes("\xBF\x67\xDE", kPassPhrase);
        FAIL() << "a three-character stored form decoded";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), kErrInvalidProcedureCall);
    }

    Cypher broken(std::make_unique<BrokenBackend>());
    try {
        broken.EncryptBytes("password", kPassPhrase);
        FAIL() << "a broken cipher produced a stored form";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), vbObjectError + 999);
        EXPECT_EQ(e.Source(), "EncryptData");
        EXPECT_NE(e.Description().find("no provider"), std::string::npos);
    }
    EXPECT_THROW(broken.DecryptBytes("\xBF\x67\xDE\x77\xC6\x6E\x72\x25", kPassPhrase), RaisedError);
    EXPECT_EQ(broken.LastError(), "no provider");
    EXPECT_EQ(broken.GetCSPDetails(), "");
}

TEST(Encryption, WorksOnProgramTextAndTheFactorySeam) {
    const Encryption encryption;
    const std::string plain = "caf\u00E9 \u20AC5\ttab";
    const std::string stored = encryption.EnCode(plain, kPassPhrase);
    EXPECT_EQ(cp1252::FromUtf8(stored).size(), cp1252::FromUtf8(plain).size() + 8);
    EXPECT_EQ(encryption.DeCode(stored, kPassPhrase), plain);
    // What a record field gives back after writing and trimming.
    EXPECT_EQ(encryption.DeCode(cp1252::FromField(cp1252::ToField(stored, 50)), kPassPhrase), plain);

    EXPECT_NE(Cypher().GetCSPDetails().find("Cryptographic Service Provider name: OpenSSL"),
              std::string::npos);

    SetCipherBackendFactory([] { return std::make_unique<BrokenBackend>(); });
    EXPECT_THROW(encryption.EnCode("x", kPassPhrase), RaisedError);
    SetCipherBackendFactory(nullptr);
    EXPECT_EQ(encryption.DeCode(encryption.EnCode("x", kPassPhrase), kPassPhrase), "x");
}

// Found by fuzzing: eight bytes are a stored form, but read as program text the two-byte
// character leaves seven, which is too short.
TEST(Cypher, EightBytesThatReadAsFewerCharactersAreAShortStoredForm) {
    const std::string stored("\x1E" "c\xC5\xAC\xFF\xFF\xFF\xFF", 8);
    Cypher cypher;
    EXPECT_EQ(cypher.DecryptBytes(stored, ""), "");
    try {
        cypher.Decrypt(stored, "");
        FAIL() << "decoded";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), kErrInvalidProcedureCall);
    }
}
