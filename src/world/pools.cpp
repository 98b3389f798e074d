// The four record pools: cyclic hand-out, release on slot reset.
#include "world/pools.h"

#include <cstring>

#include "app/log.h"
#include "io/cp1251.h"

PhRec poolPh[kPhRecords + 1];
PBufRec poolPBuf[kPBufRecords + 1];
PKuRec poolPKu[kPKuRecords + 1];
PeRec poolPe[kPeRecords + 1];
int cursorPh = 1, cursorPBuf = 1, cursorPKu = 1, cursorPe = 1;

namespace {

// Cyclic probe from the cursor: at most n tests, wrapping n -> 1.
template <typename Rec>
Rec* Take(Rec* pool, int n, int& cursor) {
    if (cursor > n || cursor < 1) cursor = 1;
    for (int tries = 0; tries < n; ++tries) {
        Rec& r = pool[cursor];
        if (!r.inUse) {
            r.inUse = 1;
            cursor = cursor >= n ? 1 : cursor + 1;
            return &r;
        }
        cursor = cursor >= n ? 1 : cursor + 1;
    }
    return nullptr;
}

void PKuEntryStart(PKuEntry& e) {
    e = PKuEntry{};
    e.spread = 1;
}

}  // namespace

PhRec* TakePh() {
    PhRec* r = Take(poolPh, kPhRecords, cursorPh);
    if (r) std::memset(&r->w[kPhClearFrom], 0, sizeof(std::int32_t) * (kPhWords - kPhClearFrom));
    return r;
}

PBufRec* TakePBuf() { return Take(poolPBuf, kPBufRecords, cursorPBuf); }

PKuRec* TakePKu() {
    PKuRec* r = Take(poolPKu, kPKuRecords, cursorPKu);
    if (r) {
        r->count = 0;
        for (PKuEntry& e : r->e) PKuEntryStart(e);
    }
    return r;
}

PeRec* TakePe() {
    PeRec* r = Take(poolPe, kPeRecords, cursorPe);
    if (r) {
        r->count = 0;
        for (PeEntry& e : r->e) e = PeEntry{};
    }
    return r;
}

void KorRelease(Kor& k) {
    if (k.ph) k.ph->inUse = 0;
    if (k.pe) k.pe->inUse = 0;
    if (k.pKu) k.pKu->inUse = 0;
    if (k.pBuf) k.pBuf->inUse = 0;
    k = Kor{};
}

void KorAcquireFull(Kor& k) {
    KorRelease(k);
    k.ph = TakePh();
    k.pKu = TakePKu();
    k.pBuf = TakePBuf();
    k.mode = kKorFull;
}

void KorAcquireLight(Kor& k) {
    KorRelease(k);
    k.pe = TakePe();
    k.pKu = TakePKu();
    k.mode = kKorLight;
}

void PeAdd(PeRec* pe, int code, int amount, int subtract, int useSource, int useAttacker) {
    if (!pe || pe->count < 0 || pe->count >= kPeEntries) return;
    PeEntry& e = pe->e[pe->count++];
    e.code = static_cast<std::uint16_t>(code);
    e.amount = static_cast<std::uint16_t>(amount);
    e.subtract = static_cast<std::uint8_t>(subtract);
    e.useSource = static_cast<std::uint8_t>(useSource);
    e.useAttacker = static_cast<std::uint8_t>(useAttacker);
}

void KorLogMissing(const Kor& k, int which) {
    if ((which & kNeedPh) && !k.ph) LogPrintf("%s", "\n не выдали p->kor.ph"_w);
    if ((which & kNeedPBuf) && !k.pBuf) LogPrintf("%s", "\n не выдали p->kor.pBuf"_w);
    if ((which & kNeedPe) && !k.pe) LogPrintf("%s", "\n не выдали p->kor.pe"_w);
    if ((which & kNeedPKu) && !k.pKu) LogPrintf("%s", "\n не выдали p->kor.pKu"_w);
}

void PoolsReset() {
    std::memset(poolPh, 0, sizeof poolPh);
    std::memset(poolPBuf, 0, sizeof poolPBuf);
    std::memset(poolPKu, 0, sizeof poolPKu);
    std::memset(poolPe, 0, sizeof poolPe);
    cursorPh = cursorPBuf = cursorPKu = cursorPe = 1;
}
