#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end.
// For tests and benchmarks alike: nothing here needs GoogleTest.

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("lmra-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};
