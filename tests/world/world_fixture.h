// Shared set-up of the world tests: globals reset, log in a private file, fixed seed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/frame.h"
#include "app/log.h"
#include "app/random.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_follow.h"
#include "world/spawn.h"
#include "world_bytes.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorldReset(), PathReset(), FrameReset(), LogReset(), RandSeed(7);
        char dir[] = "/tmp/bd_world_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        tempDir = dir;
        logPath = Path("log.txt");
        LogSetPath(logPath.c_str());
    }
    void TearDown() override { LogReset(), InjectWriteFailureAfter(0), std::filesystem::remove_all(tempDir); }
    std::string Log() const {
        std::vector<std::uint8_t> b;
        ReadWholeFile(logPath.c_str(), b);
        return {b.begin(), b.end()};
    }
    int LogCount(const std::string& needle) const {
        const std::string log = Log();
        int n = 0;
        for (auto p = log.find(needle); p != std::string::npos; p = log.find(needle, p + 1)) ++n;
        return n;
    }
    std::string Path(const char* name) const { return tempDir + "/" + name; }
    static Fgr* MakeAt(int kind, int cell) { float x, z; KleCentre(cell, &x, &z); return FgrCreateFigure(kind, x, z); }
    std::string tempDir, logPath;
};
