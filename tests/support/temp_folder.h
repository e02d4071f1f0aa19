#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace corvane::test_support {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = ::testing::TempDir() + "corvane-XXXXXX";
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "no temporary folder";
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    std::string Write(const std::string& name, const std::string& content) const {
        const std::string file = *this / name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::string path_;
};

}  // namespace corvane::test_support
