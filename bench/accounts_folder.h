#pragma once

#include <filesystem>
#include <string>

#include "bench_support.h"
#include "recordstore/user.h"

namespace corvane::bench {

// A data folder under the benchmarks' root holding the accounts pupil0, pupil1, ... (count
// of them, named "Pupil n"), made at its first use.
inline std::string AccountsFolder(const std::string& name, int count) {
    const std::string folder = RootFolder() + "/" + name;
    if (std::filesystem::exists(folder)) return folder;
    std::filesystem::create_directories(folder);
    const InDataFolder in(folder);
    User user;
    for (int n = 0; n < count; ++n) {
        user.Clear();
        user.SetLogin("pupil" + std::to_string(n));
        user.SetName("Pupil " + std::to_string(n));
        user.AddNew();
    }
    return folder;
}

}  // namespace corvane::bench
