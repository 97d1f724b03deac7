#include "clip/folders/TemporaryPath.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>

std::string temporaryPathBeside(const std::string& path) {
    static const unsigned long processTag = std::random_device{}() & 0xFFFFFFFFul;
    static std::atomic<unsigned long> counter{0};
    char name[64];
    std::snprintf(name, sizeof name, ".lmra-%08lx-%lu.part", processTag, ++counter);
    return (std::filesystem::path(path).parent_path() / name).string();
}
