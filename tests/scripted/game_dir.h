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
        if (mirror) Mirror(fs::path(runtime), root_, "", skip);
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd)) old_ = cwd;
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
    static void Mirror(const std::filesystem::path& from, const std::filesystem::path& to, const std::string& rel,
                       const std::set<std::string>& skip) {
        namespace fs = std::filesystem;
        fs::create_directories(to);
        for (const auto& e : fs::directory_iterator(from)) {
            std::string name = rel.empty() ? e.path().filename().string() : rel + "/" + e.path().filename().string();
            if (skip.count(name) || name == "screenshots" || name == "uni_files/log.txt") continue;
            if (e.is_directory()) Mirror(e.path(), to / e.path().filename(), name, skip);
            else fs::create_symlink(e.path(), to / e.path().filename());
        }
    }
    std::filesystem::path root_;
    std::string old_;
};
