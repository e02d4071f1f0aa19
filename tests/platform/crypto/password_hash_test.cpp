#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/raised_error.h"
#include "platform/crypto/cipher.h"
#include "platform/crypto/password_hash.h"

using namespace corvane;

namespace {

// Restores CORVANE_TEST as the test found it.
class TestModeScope {
public:
    explicit TestModeScope(bool on) {
        if (const char* v = ::getenv("CORVANE_TEST")) saved_ = v;
        if (on) ::setenv("CORVANE_TEST", "1", 1);
        else ::unsetenv("CORVANE_TEST");
    }
    ~TestModeScope() {
        if (saved_.empty()) ::unsetenv("CORVANE_TEST");
        else ::setenv("CORVANE_TEST", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};

// Salt bytes 0..11; the hashes were computed independently (Python's
// hashlib.scrypt) so that the stored form stays readable by later builds.
TEST(PasswordHash, KnownAnswersOfTheStoredForm) {
    struct Row {
        const char* password;
        PasswordHashCost cost;
        const char* stored;
    };
    const Row rows[] = {
        {"password", {10, 8, 1}, "$s$10.8.1$AAECAwQFBgcICQoL$XFem8PyEn3/hHLpwWc4QKw"},
        {"secret", {1, 1, 1}, "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"ñandú", {4, 2, 3}, "$s$4.2.3$AAECAwQFBgcICQoL$TxPB/WcEqvkW0iEJdl2K8A"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        const auto parts = ParsePasswordHash(row.stored);
        ASSERT_TRUE(parts);
        EXPECT_EQ(parts->cost, row.cost);
        for (std::size_t i = 0; i < parts->salt.size(); ++i) EXPECT_EQ(parts->salt[i], i);
        EXPECT_EQ(FormatPasswordHash(*parts), row.stored);
        EXPECT_TRUE(VerifyPasswordHash(row.password, row.stored));
        EXPECT_FALSE(VerifyPasswordHash(std::string(row.password) + "x", row.stored));
    }
}

TEST(PasswordHash, MadeHashesVerifyOnlyTheirPasswordAndFitTheField) {
    const std::vector<std::string> passwords = {"", "secret", "pa ss", "twenty-characters!!!",
                                                "ñandú€", std::string(42, 'x')};
    for (const std::string& password : passwords) {
        SCOPED_TRACE(password);
        const std::string stored = MakePasswordHash(password, {4, 8, 1});
        EXPECT_TRUE(stored.starts_with("$s$4.8.1$"));
        EXPECT_TRUE(IsPasswordHashForm(stored));
        EXPECT_LE(stored.size(), kPasswordFieldWidth);
        for (char c : stored) EXPECT_TRUE(c > ' ' && c < 0x7F) << stored;
        // Written into the record field and read back unchanged.
        EXPECT_EQ(cp1252::FromField(cp1252::ToField(stored, kPasswordFieldWidth)), stored);
        if (!password.empty()) {
            EXPECT_EQ(stored.find(password), std::string::npos);
        }

        EXPECT_TRUE(VerifyPasswordHash(password, stored));
        for (const std::string& wrong : {password + "x", password + " ", " " + password,
                                         password.substr(0, password.size() / 2), std::string("SECRET")})
            if (wrong != password) {
                EXPECT_FALSE(VerifyPasswordHash(wrong, stored)) << wrong;
            }
        // A fresh salt each time.
        EXPECT_NE(MakePasswordHash(password, {4, 8, 1}), stored);
    }
}

TEST(PasswordHash, RealCostOutsideTestsAndTheLowestInThem) {
    {
        TestModeScope production(false);
        EXPECT_EQ(DefaultPasswordHashCost(), kPasswordHashCost);
        const std::string stored = MakePasswordHash("secret");
        EXPECT_TRUE(stored.starts_with("$s$14.8.1$")) << stored;
        EXPECT_TRUE(VerifyPasswordHash("secret", stored));
    }
    TestModeScope tests(true);
    EXPECT_EQ(DefaultPasswordHashCost(), kLowestPasswordHashCost);
    EXPECT_TRUE(MakePasswordHash("secret").starts_with("$s$1.1.1$"));
    // Whatever cost made it, the stored text says which one to check with.
    EXPECT_FALSE(VerifyPasswordHash("secret", "$s$10.8.1$AAECAwQFBgcICQoL$XFem8PyEn3/hHLpwWc4QKw"));
    EXPECT_TRUE(VerifyPasswordHash("password", "$s$10.8.1$AAECAwQFBgcICQoL$XFem8PyEn3/hHLpwWc4QKw"));
}

TEST(PasswordHash, CostsOutOfBoundsAreNeitherMadeNorRead) {
    for (const PasswordHashCost cost : {PasswordHashCost{0, 8, 1}, PasswordHashCost{21, 1, 1},
                                        PasswordHashCost{14, 0, 1}, PasswordHashCost{14, 33, 1},
                                        PasswordHashCost{14, 8, 9}, PasswordHashCost{18, 16, 1},
                                        PasswordHashCost{15, 32, 8},
                                        // just above twice the default's work
                                        PasswordHashCost{14, 8, 3}, PasswordHashCost{15, 8, 2},
                                        PasswordHashCost{16, 8, 1}, PasswordHashCost{19, 1, 1},
                                        PasswordHashCost{14, 17, 1}, PasswordHashCost{14, 32, 4},
                                        // seconds and hundreds of MiB a check
                                        PasswordHashCost{20, 8, 1}, PasswordHashCost{20, 32, 8}}) {
        SCOPED_TRACE(std::to_string(cost.logN) + "." + std::to_string(cost.r) + "." + std::to_string(cost.p));
        try {
            MakePasswordHash("x", cost);
            ADD_FAILURE() << "made";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), vbObjectError + 999);
            EXPECT_EQ(e.Source(), "HashPassword");
        }
        PasswordHash parts;
        parts.cost = cost;
        EXPECT_FALSE(ParsePasswordHash(FormatPasswordHash(parts)));
    }
    // Numbers no int holds are damage too, not a wrapped cost.
    for (const char* absurd : {"$s$4294967310.8.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA",
                               "$s$14.8.99999999999$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"})
        EXPECT_FALSE(ParsePasswordHash(absurd)) << absurd;
}

// Up to twice the default's work is read, and the widest of those texts fits the field.
TEST(PasswordHash, CostsAtTheBoundsAreRead) {
    for (const PasswordHashCost cost : {kPasswordHashCost, PasswordHashCost{14, 8, 2},
                                        PasswordHashCost{15, 8, 1}, PasswordHashCost{14, 16, 1},
                                        PasswordHashCost{18, 1, 1}, PasswordHashCost{13, 32, 1},
                                        PasswordHashCost{10, 32, 8}, kLowestPasswordHashCost}) {
        SCOPED_TRACE(std::to_string(cost.logN) + "." + std::to_string(cost.r) + "." + std::to_string(cost.p));
        PasswordHash parts;
        parts.cost = cost;
        const std::string text = FormatPasswordHash(parts);
        const auto read = ParsePasswordHash(text);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->cost, cost);
        EXPECT_LE(text.size(), kPasswordFieldWidth);
    }
}

// A damaged field never verifies, and nothing in it crashes the reader.
TEST(PasswordHash, DamagedFormsAreRefused) {
    const std::string good = "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA";
    ASSERT_TRUE(VerifyPasswordHash("secret", good));
    const std::vector<std::pair<const char*, std::string>> rows = {
        {"empty", ""},
        {"marker only", "$s$"},
        {"another marker", "$t$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"leading zero", "$s$01.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"sign", "$s$+1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"negative", "$s$-1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"huge number", "$s$99999999999999999999.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"cost part missing", "$s$1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"cost too high", "$s$30.8.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"salt short", "$s$1.1.1$AAECAwQFBgcICQo$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"salt long", "$s$1.1.1$AAECAwQFBgcICQoLM$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"salt not base64", "$s$1.1.1$AAECAwQFBgcI*QoL$Tgqb/JQKoN9GAFXYOj7FcA"},
        {"separator missing", "$s$1.1.1$AAECAwQFBgcICQoLTgqb/JQKoN9GAFXYOj7FcA"},
        {"hash short", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7Fc"},
        {"hash padded", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA=="},
        {"hash unused bits set", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcB"},
        {"hash one bit off", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FdA"},
        {"trailing text", good + "x"},
        {"NUL inside", std::string("$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9\0AFXYOj7FcA", 48)},
        {"high bytes", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7F\xC3\xA9"},
    };
    for (const auto& [name, stored] : rows) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(VerifyPasswordHash("secret", stored));
        EXPECT_FALSE(VerifyPasswordHash("", stored));
        const bool parses = ParsePasswordHash(stored).has_value();
        EXPECT_EQ(parses, std::string_view(name) == "hash one bit off");
    }
}

// The two forms share the field: every cipher form starts with a byte from
// BF to C8, every hash with "$".
TEST(PasswordHash, NeverMistakenForTheCipherForm) {
    Cypher cypher;
    for (const char* plain : {"", "password", "$s$1.1.1$"}) {
        const std::string stored = cypher.EncryptBytes(plain, "A1B2");
        EXPECT_FALSE(IsPasswordHashForm(stored));
        EXPECT_FALSE(ParsePasswordHash(stored));
        const auto first = static_cast<unsigned char>(stored[0]);
        EXPECT_TRUE(first >= 0xBF && first <= 0xC8);
    }
    EXPECT_TRUE(IsPasswordHashForm(MakePasswordHash("password", kLowestPasswordHashCost)));
}

}  // namespace
