// A scripted run of the real frame loop as a list of player steps. A step
// returns true when it is done; the next one starts in the same frame unless
// the step pressed a button or key (held two frames, then two more to land).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game_dir.h"
#include "reset_all.h"
#include "app/msgfeed.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "ui/widget.h"
#include "world/camera.h"
#include "world/fgr.h"

class StepRun : public ::testing::Test {
protected:
    using Step = std::function<bool()>;
    void SetUp() override { ResetShellAndGame(6000); }
    void TearDown() override { ResetShellAndGame(6000); }

    void Then(Step s) { steps_.push_back(std::move(s)); }
    void Do(std::function<void()> f) { Then([f] { return f(), true; }); }
    void WaitFor(Step cond) { Then(std::move(cond)); }
    void Frames(int n) { Then([left = n]() mutable { return --left <= 0; }); }
    // Presses at overlay pixels (origin bottom-left).
    void Press(int x, int y, int button = VK_LBUTTON) {
        ScriptMoveCursor(x, winHeight - 1 - y);
        ScriptMouseDown(button);
        Hold(button);
    }
    void Key(int vk) { Do([this, vk] { ScriptKeyDown(vk), Hold(vk); }); }
    void ClickAt(std::function<void(int*, int*)> where, int button = VK_LBUTTON) {
        Do([this, where, button] {
            int x = 0, y = 0;
            where(&x, &y);
            Press(x, y, button);
        });
    }
    // A widget by its global handle (resolved when the step runs).
    void Click(Widget* const& w) { ClickWidget([&w] { return w; }); }
    void ClickWidget(std::function<Widget*()> which) {
        ClickAt([which](int* x, int* y) {
            const Widget* w = which();
            ASSERT_NE(w, nullptr);
            *x = w->x + w->width / 2, *y = w->y + w->height / 2;
        });
    }
    // A figure's sprite, at a height of up times its own.
    void ClickFigure(Fgr* const& f, float up = 0.5f) {
        ClickAt([&f, up](int* x, int* y) {
            float fx, fy, fw, fh;
            FigureScreenRect(f, &fx, &fy, &fw, &fh);
            *x = int(fx + fw / 2), *y = int(fy + fh * up);
        });
    }

    // Runs the steps from the first frame with a hero; false when they did
    // not all finish within maxSwaps frames. sizes: the window sizes offered
    // (the first is taken). Steps added after a run make the next one.
    bool Play(const char* dirName, int maxSwaps, unsigned extraMsPerFrame = 48, const char* sizes = nullptr) {
        GameDir dir(dirName);
        root = dir.Root();
        started_ = false, releaseAt_ = -1, freeAt_ = 0;   // a second run counts its frames afresh
        if (sizes) {
            dir.Write("konfig.txt", std::string("sizes\n") + sizes);
            ScriptQueueBoxAnswer(IDYES);
        }
        ScriptMoveCursor(5, 5);
        ScriptOnSwap([&](int swap) {
            if (everyFrame) everyFrame(swap);
            ScriptAdvanceClock(extraMsPerFrame);
            swap_ = swap;
            if (swap == releaseAt_) (held_ == VK_LBUTTON || held_ == VK_RBUTTON ? ScriptMouseUp : ScriptKeyUp)(held_);
            if (const char* line = MsgFeedCurrentLine()) feed.insert(line);
            started_ |= fgrMainHero && swap >= 3;
            if (!started_) return;
            while (at_ < steps_.size() && swap >= freeAt_ && steps_[at_]()) ++at_;
            // The last press is seen through before the end.
            if ((at_ == steps_.size() && swap >= freeAt_) || swap > maxSwaps || HasFatalFailure())
                ScriptPost(WM_CLOSE);
            if (afterFrame) afterFrame(swap);
        });
        EXPECT_EQ(BrindomaMain(), 0);
        EXPECT_EQ(at_, steps_.size()) << "stopped at step " << at_;
        return at_ == steps_.size();
    }
    int Swap() const { return swap_; }

    std::function<void(int)> everyFrame;   // watches the run from its first frame
    std::function<void(int)> afterFrame;   // after the frame's steps, once they have begun
    std::set<std::string> feed;            // every line the message feed showed
    std::filesystem::path root;            // the run's game folder

private:
    void Hold(int vk) { held_ = vk, releaseAt_ = swap_ + 2, freeAt_ = swap_ + 4; }
    std::vector<Step> steps_;
    std::size_t at_ = 0;
    int swap_ = 0, releaseAt_ = -1, freeAt_ = 0, held_ = 0;
    bool started_ = false;
};
