// A login against 10,000 accounts: finding the last account beside one sequential read of
// users.sec (a scan: within 3x of the read), and one whole successful login of that account
// (one password-hash check among it), which reports how many times over it read the user table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "platform/core/program_globals.h"
#include "platform/crypto/password_hash.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "session/login/login_validator.h"

namespace corvane {
namespace {

constexpr int kAccounts = 10000;
constexpr std::size_t kUserSlot = 4176;

// A data folder of its own with 9,999 plain accounts and a last one with a password,
// made once per run; the other benchmarks keep theirs.
const std::string& LoginFolder() {
    static const std::string folder = [] {
        const std::string f = std::filesystem::temp_directory_path() / ("corvane-login-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(f);
        std::ofstream out(f + "/users.sec", std::ios::binary | std::ios::trunc);
        std::string record(kUserSlot, '\0');
        for (int n = 1; n < kAccounts; ++n) {
            std::string login = "user" + std::to_string(n);
            login.resize(20, ' ');
            record.replace(0, 50, std::string(50, ' '));
            record.replace(50, 20, login);
            out.write(record.data(), static_cast<std::streamsize>(record.size()));
        }
        out.close();
        const bench::InDataFolder in(f);
        User last;
        last.SetLogin("user" + std::to_string(kAccounts));
        last.SetPassword(MakePasswordHash("secret"));
        last.AddNew();
        return f;
    }();
    return folder;
}

// Points the program at the login folder for one benchmark.
class InLoginFolder {
public:
    InLoginFolder() : in_(LoginFolder()) {}
    ~InLoginFolder() { std::filesystem::remove(LoginFolder() + "/userlog.sec"); }

private:
    bench::InDataFolder in_;
};

std::string LastLogin() { return "user" + std::to_string(kAccounts); }

void Login_UsersSequentialRead(benchmark::State& state) {
    bench::SequentialRead(state, LoginFolder() + "/users.sec");
}

void Login_LoadLastAccount(benchmark::State& state) {
    InLoginFolder folder;
    User user;
    const bench::CountIo io;
    for (auto _ : state) benchmark::DoNotOptimize(user.Load(LastLogin()));
    io.Report(state);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(LoginFolder() + "/users.sec")));
}

// Bytes this process has read so far, from /proc/self/io.
std::int64_t BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::int64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

void Login_ValidateLastAccount(benchmark::State& state) {
    InLoginFolder folder;
    const LoginInput input{LastLogin(), "secret", "", false, true, "Corvane Standard"};
    std::int64_t read = 0;
    const bench::CountIo io;
    for (auto _ : state) {
        const std::int64_t before = BytesRead();
        LoginValidator validator;
        benchmark::DoNotOptimize(validator.ValidateLogin(input));
        read += BytesRead() - before;
    }
    io.Report(state);
    // Almost every byte a login reads is users.sec: the other files are small.
    const auto size = static_cast<double>(std::filesystem::file_size(LoginFolder() + "/users.sec"));
    state.counters["user_table_reads_per_login"] =
        static_cast<double>(read) / size / static_cast<double>(state.iterations());
}

BENCHMARK(Login_UsersSequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(Login_LoadLastAccount)->Unit(benchmark::kMillisecond);
BENCHMARK(Login_ValidateLastAccount)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
