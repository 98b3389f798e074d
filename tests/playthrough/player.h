// A scripted player for the real frame loop: it reads the game's state to
// plan (where the hero is, which monster is nearest, whether a dialog is
// open) and acts only through input: map clicks, keys and clicks on the
// HUD's widgets found by their rectangles.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct Fgr;
struct Widget;

struct DayLog {
    int day = 0;
    int kills = 0, gold = 0, rank = 0, exp = 0, minutes = 0;
};

class Player {
public:
    // One frame's turn, from the swap hook: releases due buttons, then acts
    // when no earlier action is still settling. False ends the run.
    bool Turn(int swap);

    // Progress, for the test and the log.
    int stage = 0;
    int stopStage = 99;   // the run ends when this stage begins (99: play to the win)
    int kills = 0;
    bool saveRequested = false, saved = false;   // F5 pressed in the first run
    bool won = false;
    std::vector<DayLog> days;
    std::string trace;   // what the player did, one line per decision change

    // A second run over the saved game: references into the world are stale.
    void NewRun() {
        enemy_ = nullptr, enemySerial_ = 0, aimX_ = aimZ_ = -1, clickedAt_ = -100, releaseAt_ = -1, busyUntil_ = 0;
        stillSince_ = bestAt_ = 0, detour_ = 0, shunned_.clear(), weed_ = nullptr;
    }

    void Log(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void RecordDay(int day);   // the state at the end of that day

private:
    // input
    void Click(int button, int ox, int oy);
    void ClickWidget(const Widget* w);
    bool ClickFigure(const Fgr* f);
    void Key(int vk);
    bool MapClickable(int ox, int oy) const;
    // plans
    bool Tidy();
    bool WalkTo(float wx, float wz, float near);
    bool TalkTo(int npc, int option);
    bool Fight(Fgr* enemy);
    bool Retreat();
    bool PickUp(Fgr* pickup);
    bool WalkBeside(const Fgr* f, float near);
    bool Shunned(const Fgr* f) const;
    void Shun(const Fgr* f);
    bool EquipBest();
    bool Heal();
    bool HaveItem(int kind) const;
    int Count(int kind) const;
    bool Use(int kind, int action);
    bool Pack();
    bool Deselect();
    bool Weed(float range);
    bool Fish();
    bool Prepare();
    bool Act();
    bool Stage();
    Fgr* NearestEnemy(int maxType) const;
    Fgr* Attacker() const;

    int swap_ = 0;
    int busyUntil_ = 0;
    int releaseAt_ = -1, releaseButton_ = 0;
    // walking
    float aimX_ = -1, aimZ_ = -1;
    int clickedAt_ = -100;
    float lastX_ = 0, lastZ_ = 0;
    int stillSince_ = 0;
    int detour_ = 0, detourUntil_ = 0;
    int pickCell_ = -1;
    int tidyClicks_ = 0;
    int firsLogged_ = 0;
    float bestLeft_ = 1e9f;
    int bestAt_ = 0;
    bool giveUp_ = false;
    int besideTry_ = 0;
    std::vector<std::pair<int, int>> shunned_;   // serial, swap until
    // fighting
    Fgr* enemy_ = nullptr;
    int enemySerial_ = 0;
    int enemyHp_ = 0, enemyHpAt_ = 0;
    int loggedDay_ = 0;
    // earning
    int fishCell_ = -1;
    int weedTries_ = 0;
    int itemAction_ = 1;
    const Fgr* weed_ = nullptr;
    unsigned guess_ = 12345;   // the player's own dice for the fishing guess
};
