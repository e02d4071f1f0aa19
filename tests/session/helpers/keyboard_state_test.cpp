#include <gtest/gtest.h>

#include <memory>

#include "session/helpers/keyboard_state.h"
#include "support/fake_keyboard_state.h"

using namespace corvane;

namespace {

TEST(IsCapsLockOn, OnOnlyWhileLockedAndTheKeyIsUp) {
    struct Row {
        bool toggled, held, on;
    } const rows[] = {
        {true, false, true},
        {true, true, false},  // held down: off even though the lock is on
        {false, true, false},
        {false, false, false},
    };
    auto fake = std::make_shared<test::FakeKeyboardState>();
    test::KeyboardStateScope scope(fake);
    for (const auto& r : rows) {
        fake->caps = {r.toggled, r.held};
        EXPECT_EQ(IsCapsLockOn(), r.on) << r.toggled << r.held;
    }
}

TEST(IsCapsLockOn, OffWithoutAKeyboardSource) {
    test::KeyboardStateScope scope(nullptr);
    EXPECT_FALSE(IsCapsLockOn());
}

}  // namespace
