// The four fixed pools of combat records that units and guns borrow: ph
// (stat block and unit state), pBuf (filter set), pKu (filter groups) and pe
// (hit list). A figure names its records in its kor; they go back to their
// pool only when the slot is reset (reused or loaded into).
#pragma once

#include <cstdint>

inline constexpr int kPhRecords = 1000;     // handed out 1..1000
inline constexpr int kPBufRecords = 1000;
inline constexpr int kPKuRecords = 1000;
inline constexpr int kPeRecords = 8000;

inline constexpr int kPhWords = 402;
inline constexpr int kStatWords = 240;      // fgrStats: the first 240 ph words
inline constexpr int kPhClearFrom = 201;    // words 201..401 are zeroed when taken
inline constexpr int kPBufWords = 304;
inline constexpr int kPKuEntries = 31;
inline constexpr int kPeEntries = 21;
inline constexpr int kFilterEntries = 101;

// Stat block words the world itself touches (slot codes; see the combat code).
inline constexpr int kStatNormHP = 1;
inline constexpr int kStatNormHPMax = 2;

struct PhRec {
    std::int32_t w[kPhWords];     // w[0..239] = fgrStats
    std::int32_t inUse;
};

// One filter of a figure's filter set.
struct FilterEntry {
    std::int32_t value;
    std::uint16_t code;
    std::uint8_t spread;
    std::uint8_t pct;
    std::uint16_t tag;
    std::uint16_t stage;
};
struct PBufRec {
    std::int32_t count;
    FilterEntry e[kFilterEntries];
    std::int32_t inUse;
};
static_assert(sizeof(PBufRec) == (kPBufWords + 1) * 4, "pBuf is 304 words and a flag");

// One filter group entry.
struct PKuEntry {
    std::int32_t value;
    std::uint16_t unitFlag;
    std::uint16_t code;
    std::uint16_t tag;
    std::uint8_t spread;
    std::uint8_t pct;
    std::uint8_t stage;
    std::uint8_t spare[3];
};
struct PKuRec {
    std::int32_t inUse;
    std::int32_t count;           // 0..31
    PKuEntry e[kPKuEntries];
};

// One hit list entry: code a, code b and three flag bytes.
struct PeEntry {
    std::uint16_t code;           // stat slot code, 0 ends the list
    std::uint16_t amount;
    std::uint8_t subtract;
    std::uint8_t useSource;
    std::uint8_t useAttacker;
    std::uint8_t spare;
};
struct PeRec {
    std::int32_t inUse;
    std::int32_t count;           // 0..21
    PeEntry e[kPeEntries];
};

// kor.mode
inline constexpr int kKorNone = 0;
inline constexpr int kKorFull = 1;    // unit: ph, pKu, pBuf
inline constexpr int kKorLight = 2;   // gun: pe, pKu

struct Kor {
    std::int32_t mode = 0;
    PhRec* ph = nullptr;
    PeRec* pe = nullptr;
    PKuRec* pKu = nullptr;
    PBufRec* pBuf = nullptr;
};

// The pools (index 0 is never handed out) and their cyclic cursors.
extern PhRec poolPh[kPhRecords + 1];
extern PBufRec poolPBuf[kPBufRecords + 1];
extern PKuRec poolPKu[kPKuRecords + 1];
extern PeRec poolPe[kPeRecords + 1];
extern int cursorPh, cursorPBuf, cursorPKu, cursorPe;

void KorRelease(Kor& k);
void KorAcquireFull(Kor& k);    // release, then ph + pKu + pBuf
void KorAcquireLight(Kor& k);   // release, then pe + pKu

// Takes one record (null when the pool is exhausted); exposed for tests.
PhRec* TakePh();
PBufRec* TakePBuf();
PKuRec* TakePKu();
PeRec* TakePe();

// Appends a hit entry while the list has room (21 entries).
void PeAdd(PeRec* pe, int code, int amount, int subtract, int useSource, int useAttacker);

// Log lines of the kinds' initialisers for records they did not get.
// which: bit 1 ph, 2 pBuf, 4 pe, 8 pKu.
inline constexpr int kNeedPh = 1, kNeedPBuf = 2, kNeedPe = 4, kNeedPKu = 8;
void KorLogMissing(const Kor& k, int which);

// All pools free, cursors at 1 (tests).
void PoolsReset();
