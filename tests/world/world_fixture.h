// Shared set-up of the world tests: globals reset, log in a private file, fixed seed.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/log.h"
#include "app/random.h"
#include "editor/editor.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorldReset();
        PathReset();
        FrameReset();
        RandSeed(7);
        char dir[] = "/tmp/bd_world_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        tempDir = dir;
        LogReset();
        logPath = Path("log.txt");
        LogSetPath(logPath.c_str());
    }
    void TearDown() override {
        LogReset();
        InjectWriteFailureAfter(0);
        if (std::system(("rm -rf '" + tempDir + "'").c_str()) != 0) ADD_FAILURE() << "cleanup";
    }
    std::string Log() const {
        std::ifstream in(logPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static int Count(const std::string& hay, const std::string& needle) {
        int n = 0;
        for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
        return n;
    }
    std::string Path(const char* name) const { return tempDir + "/" + name; }
    static Fgr* MakeAt(int kind, int cell) {
        float x, z;
        KleCentre(cell, &x, &z);
        return FgrCreateFigure(kind, x, z);
    }
    std::string tempDir, logPath;
};
