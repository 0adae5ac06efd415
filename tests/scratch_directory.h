// Fresh places under the system's temporary directory, for tests on any
// platform: a directory removed with everything in it, and unused names.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A name under the temporary directory that nothing had when asked.
inline std::filesystem::path unusedTemporaryPath() {
    static std::mt19937_64 random(std::random_device{}() ^
                                  std::chrono::steady_clock::now().time_since_epoch().count());
    for (;;) {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("pallimorvenquist-" + std::to_string(random()));
        if (!std::filesystem::exists(path)) return path;
    }
}

// A fresh directory for one test, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::filesystem::path path;
        do path = unusedTemporaryPath();
        while (!std::filesystem::create_directory(path));
        root = path.string();
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return root; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(root + "/" + name, std::ios::binary) << bytes;
    }
    void makeDirectory(const std::string& name) const {
        std::filesystem::create_directory(root + "/" + name);
    }

private:
    std::string root;
};
