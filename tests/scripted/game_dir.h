// A private runtime folder for one scripted run (links to the built game's
// files, chosen ones left out), or an empty one, made the working directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

class GameDir {
public:
    // mirror false: an empty working folder.
    explicit GameDir(const std::string& name, const std::set<std::string>& skip = {}, bool mirror = true) {
        namespace fs = std::filesystem;
        const char* runtime = std::getenv("BD_RUNTIME_DIR");
        if (mirror && !runtime) throw std::runtime_error("BD_RUNTIME_DIR not set");
        root_ = fs::path(::testing::TempDir()) / ("bd_" + name + "_" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        if (mirror) Mirror(fs::path(runtime), root_, skip);
        std::error_code ec;
        old_ = fs::current_path(ec).string();
        fs::current_path(root_);
    }
    ~GameDir() {
        std::error_code ec;
        if (!old_.empty()) std::filesystem::current_path(old_, ec);
        std::filesystem::remove_all(root_, ec);
    }
    void Write(const std::string& rel, const std::string& text) const {
        std::ofstream(root_ / rel, std::ios::binary) << text;
    }
    const std::filesystem::path& Root() const { return root_; }

private:
    static void Mirror(const std::filesystem::path& from, const std::filesystem::path& to, const std::set<std::string>& skip) {
        namespace fs = std::filesystem;
        for (auto it = fs::recursive_directory_iterator(from); it != fs::recursive_directory_iterator(); ++it) {
            const std::string rel = it->path().lexically_relative(from).string();
            if (skip.count(rel) || rel == "screenshots" || rel == "uni_files/log.txt") it.disable_recursion_pending();
            else if (it->is_directory()) fs::create_directories(to / rel);
            else fs::create_symlink(it->path(), to / rel);
        }
    }
    std::filesystem::path root_;
    std::string old_;
};
