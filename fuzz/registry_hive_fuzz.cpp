// Opens a machine hive whose file was damaged and reads every value it once
// held, lists every key's values and subkeys, then writes one more value.
// Whatever the damage, a value read is one that was written under that name
// (type and bytes alike), a listed name is one that was written, and the new
// value reads back as written; anything else must be an error.
// Input: records of three bytes, each setting the byte at a 16-bit offset of
// a known hive file to a value (see hive_damage_replay.h, which the ordinary
// tests share to keep every input that once failed).
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/platform/settings/hive_damage_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string seed = [] {
        char dir[] = "/tmp/corvane-hive-fuzz-XXXXXX";
        if (!::mkdtemp(dir)) std::abort();
        ::setenv("CORVANE_REGISTRY_DIR", dir, 1);
        // Damage is what this target makes; nothing to tell.
        corvane::registry_store::SetHiveDamageReport([](const corvane::RaisedError&, const std::string&) {});
        std::string bytes = corvane::hive_damage::BuildSeedHive();
        if (bytes.empty()) std::abort();
        return bytes;
    }();
    const std::string wrong = corvane::hive_damage::Replay(seed, data, size);
    if (!wrong.empty()) {
        std::fprintf(stderr, "wrong answer: %s\n", wrong.c_str());
        std::abort();
    }
    return 0;
}
