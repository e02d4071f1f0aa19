#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/crypto/password_hash.h"

namespace corvane::test_support {

// What every password writer must leave in the field: a sound hash of plain.
inline ::testing::AssertionResult IsHashOf(const std::string& stored, const std::string& plain) {
    if (!ParsePasswordHash(stored)) return ::testing::AssertionFailure() << "not a hash: " << stored;
    if (!VerifyPasswordHash(plain, stored))
        return ::testing::AssertionFailure() << stored << " is no hash of \"" << plain << "\"";
    return ::testing::AssertionSuccess();
}

}  // namespace corvane::test_support
