// The hit pipeline: spread, the three filter stages, the write into the
// stat block, experience for non-hero attackers and the combat trace.
#include "combat/filters.h"

#include <cstdarg>
#include <cstdio>

#include "app/frame.h"
#include "app/log.h"
#include "app/random.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/progression.h"
#include "world/fgr.h"

HitPipeline hitPipe;

void HitPipelineReset() { hitPipe = HitPipeline{}; }

namespace {

// The trace of one DealHit is gathered here and written with one log call.
char traceBuf[24576];
int traceLen = 0;

__attribute__((format(printf, 1, 2))) void Trace(const char* format, ...) {
    if (traceLen >= int(sizeof traceBuf) - 1) return;
    va_list ap;
    va_start(ap, format);
    const int n = std::vsnprintf(traceBuf + traceLen, sizeof traceBuf - traceLen, format, ap);
    va_end(ap);
    if (n > 0) traceLen = traceLen + n < int(sizeof traceBuf) ? traceLen + n : int(sizeof traceBuf) - 1;
}

void TraceEntry(int tag, int code, int value, int spread, int pct) {
    const char* name = StatSlotName(code);
    if (spread == 0 || spread == 100) {
        if (pct) Trace("p%d  s<%9s> %3d%%  ", tag, name, value);
        else Trace("p%d  s<%9s> %3d.  ", tag, name, value);
    } else if (spread == 1) {
        if (pct) Trace("p%d  s<%9s> от 0%% до %3d%%"_w, tag, name, value);
        else Trace("p%d  s<%9s> от 0 до %3d."_w, tag, name, value);
    } else {
        const int low = int(static_cast<long long>(value) * spread / 100);
        if (pct) Trace("p%d  s<%9s> от %3d%% до %3d%%"_w, tag, name, low, value);
        else Trace("p%d  s<%9s> от %3d до %3d."_w, tag, name, low, value);
    }
}

void TraceSet(const PBufRec* set, int stage, const char* indent) {
    const int n = set->count < kFilterEntries ? set->count : kFilterEntries;
    for (int i = 0; i < n; ++i) {
        const FilterEntry& e = set->e[i];
        if (e.code == 0 || e.stage != stage) continue;
        Trace("\n%s", indent);
        TraceEntry(e.tag, e.code, e.value, e.spread, e.pct);
    }
}

int SetCount(const PBufRec* set) {
    if (!set || set->count <= 0) return 0;
    return set->count < kFilterEntries ? set->count : kFilterEntries;
}

// One stage over a filter set: every entry of the code and stage adds.
void RunSetStage(const PBufRec* set, int code, int stage) {
    const int n = SetCount(set);
    hitPipe.dmgBase = hitPipe.dmgNow;
    for (int i = 0; i < n; ++i) {
        const FilterEntry& e = set->e[i];
        if (e.code == code && e.stage == stage) AddFilterValue(SpreadValue(e.value, e.spread), e.pct);
    }
}

int FixSpread(int s) { return s == 0 || s > 100 ? 100 : s; }

int ClampLoss(int v) { return v < 0 ? 0 : (v > 100 ? 100 : v); }

}  // namespace

int SpreadValue(int value, int spread) {
    if (spread > 99 || spread < 1) return value;
    if (value == 0) return 0;
    const int lower = spread == 1 ? 0 : spread;
    const int p = Rand() % (101 - lower) + lower;
    if (p == 0) return 0;
    return int(static_cast<long long>(value) * p / 100);
}

void AddFilterValue(int v, int pct) {
    if (v == 0) return;
    if (pct == 0) {
        hitPipe.dmgNow += v;
        return;
    }
    // truncate(dmgNow + v / 100 * dmgBase), kept exact in integers.
    const long long scaled = static_cast<long long>(hitPipe.dmgNow) * 100 + static_cast<long long>(v) * hitPipe.dmgBase;
    hitPipe.dmgNow = int(scaled / 100);
}

int AddFilterGroups(PKuRec* groups, PBufRec* set) {
    if (!groups || !set) return 0;
    if (set->count < 0) set->count = 0;
    const int n = groups->count < 0 ? 0 : (groups->count > kPKuEntries ? kPKuEntries : groups->count);
    int copied = 0;
    for (int i = 0; i < n && set->count < kFilterEntries; ++i) {
        PKuEntry& g = groups->e[i];
        if (g.tag == 0 || g.code == 0) continue;
        g.spread = static_cast<std::uint8_t>(FixSpread(g.spread));
        if (g.stage != 2 && g.stage != 3) continue;
        FilterEntry& e = set->e[set->count++];
        e.value = g.unitFlag == 1 ? 1 : g.value;
        e.code = g.code;
        e.spread = g.spread;
        e.pct = g.pct;
        e.tag = g.tag;
        e.stage = g.stage;
        ++copied;
    }
    return copied;
}

void ClearFilters(PBufRec* set) {
    if (!set) return;
    set->count = 0;
    for (FilterEntry& e : set->e) e.code = 0;
}

void AddPanicSet(PBufRec* set) {
    if (!set) return;
    static constexpr int kPools[3] = {kStNormHP, kStCaptHP, kStTehnHP};
    for (int stage = 2; stage <= 3; ++stage)
        for (int code : kPools) {
            if (set->count < 0) set->count = 0;
            if (set->count >= kFilterEntries) return;
            FilterEntry& e = set->e[set->count++];
            e.value = stage == 2 ? -50 : 10;
            e.code = static_cast<std::uint16_t>(code);
            e.spread = stage == 2 ? 25 : 5;
            e.pct = 1;
            e.tag = 1;
            e.stage = static_cast<std::uint16_t>(stage);
        }
}

void RebuildFilters(Fgr* f) {
    if (!f) return;
    PBufRec* set = f->kor.pBuf;
    if (!set) return;
    if (f->panic) {
        AddPanicSet(set);
        return;
    }
    AddFilterGroups(f->kor.pKu, set);
    auto chain = [set](Fgr* head, bool auraOnlyZero) {
        int guard = 0;
        for (Fgr* c = head; c && guard++ <= kFigureSlots; c = c->next)
            if (!auraOnlyZero || c->auraMode == 0) AddFilterGroups(c->kor.pKu, set);
    };
    chain(f->list2, true);
    chain(f->guns, false);
    chain(f->list3, true);
    Fgr* singles[3] = {f->single1, f->single2, f->single3};
    for (int i = 0; i < 3; ++i) {
        Fgr* s = singles[i];
        if (s && s->attachRole == kRoleSingle1 + i && s->auraMode == 0) AddFilterGroups(s->kor.pKu, set);
    }
}

const char* UnitName(const Fgr* f) {
    if (!f) return "?";
    switch (f->fgrKind) {
        case 201: return "Бунк. мудрецов"_w;
        case 401: return "Бунк. ангелов"_w;
        case 411: return "не уб.строитель"_w;
        case 415: return "Стрелок ангелов"_w;
        case 420: return "оглушатель"_w;
        case 422: return "отр. оглушателей"_w;
        case 501: return f->figureName;
        case 601: return "Бунк. анархии"_w;
        case 801: return "Бунк. некробов"_w;
        default: return "?";
    }
}

void PKuAdd(PKuRec* groups, int code, int value, int pct, int spread, int stage, int unitFlag) {
    if (!groups || groups->count < 0 || groups->count >= kPKuEntries) return;
    PKuEntry& e = groups->e[groups->count++];
    e.value = value;
    e.unitFlag = static_cast<std::uint16_t>(unitFlag);
    e.code = static_cast<std::uint16_t>(code);
    e.tag = 1;
    e.spread = static_cast<std::uint8_t>(spread);
    e.pct = static_cast<std::uint8_t>(pct);
    e.stage = static_cast<std::uint8_t>(stage);
}

void DealHit(Fgr* attacker, const PBufRec* attackerFilters, Fgr* source, Fgr* target) {
    if (!source || !target) return;
    if (target->fgrKind == kKindHero && progress.invulnerable) return;
    if (target->firstHitBy == 0 && attacker) target->firstHitBy = attacker->serial;
    std::int32_t* st = FgrStats(target);
    const PeRec* hits = source->kor.pe;
    if (source->kor.mode == 0 || target->kor.mode == 0 || !st || !hits) return;
    if (target->unitExpRang <= 0) attacker = nullptr;

    int before[3] = {0, 0, 0};
    const char* arrow = "o>-";
    traceLen = 0;
    traceBuf[0] = 0;
    if (attacker) {
        before[0] = st[kStNormHP];
        before[1] = st[kStCaptHP];
        before[2] = st[kStTehnHP];
        if (gameClockMs - hitPipe.lastHitClock > kTracePauseMs) Trace("\n");
        hitPipe.lastHitClock = gameClockMs;
        if (attacker->side == kSidePlayer) arrow = "->-";
        Trace("%s", "\n\n\n// ----__бонусы__и__скидки__----"_w);
        if (attackerFilters) {
            if (SetCount(attackerFilters) == 0) {
                Trace("%s", "\n\t-- нет фильтров Второй стадии у Атакера."_w);
            } else {
                Trace("%s", "\n\t{ фильтры Второй стадии Атакера //норма это добавление"_w);
                TraceSet(attackerFilters, 2, "\t");
                Trace("\n\t}");
            }
        }
        if (const PBufRec* own = target->kor.pBuf) {
            if (SetCount(own) == 0) {
                Trace("%s", "\n\t\t\t-- нет фильтров стадии Приёма урона у Цэли."_w);
            } else {
                Trace("%s", "\n\t\t\t{ фильтры стадии Приёма урона Цэлью //норма это убавление"_w);
                TraceSet(own, 3, "\t\t\t");
                Trace("\n\t\t\t}");
            }
        }
        Trace("\ndo: %s(%d) #%d   >>>   %s(%d) #%d   //time %d", UnitName(attacker), attacker->side,
              attacker->serial, UnitName(target), target->side, target->serial, gameClockMs / 100);
        Trace("\n{ у цели сначала hp:%d  cp:%d  tp:%d  hot:%d"_w, st[kStNormHP], st[kStCaptHP], st[kStTehnHP],
              st[kStHot]);
    }

    const int count = hits->count < 0 ? 0 : (hits->count > kPeEntries ? kPeEntries : hits->count);
    for (int i = 0; i < count; ++i) {
        const PeEntry& h = hits->e[i];
        if (h.code == 0) break;
        const int code = h.code;
        hitPipe.code = code;
        hitPipe.dmgNow = h.amount;
        if (attacker) Trace("\n   s<%9s>%3d.  ", StatSlotName(code), int(h.amount));
        if (h.useSource && source->kor.pKu) {
            hitPipe.dmgBase = hitPipe.dmgNow;
            for (PKuEntry& g : source->kor.pKu->e) {
                if (g.code != code || g.tag == 0) continue;
                g.spread = static_cast<std::uint8_t>(FixSpread(g.spread));
                if (g.stage == 1) AddFilterValue(SpreadValue(g.value, g.spread), g.pct);
            }
        }
        if (attacker) Trace("dmg_out:%3d   %s  ", hitPipe.dmgNow, arrow);
        if (h.useAttacker && SetCount(attackerFilters) > 0) RunSetStage(attackerFilters, code, 2);
        if (attacker) Trace("mid:%3d  %s  ", hitPipe.dmgNow, arrow);
        if (SetCount(target->kor.pBuf) > 0) RunSetStage(target->kor.pBuf, code, 3);
        if (hitPipe.dmgNow > 0) {
            const int slot = StatTargetSlot(code);
            if (slot >= 1 && slot <= kStatLastSlot) {
                const long long v = static_cast<long long>(st[slot]) + (h.subtract ? -hitPipe.dmgNow : hitPipe.dmgNow);
                st[slot] = v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : std::int32_t(v));
                StatClamp(st, slot);
            }
            if (code == kStNormHP) hitPipe.dmgNormSum += hitPipe.dmgNow;
            if (attacker) Trace("set:%3d", hitPipe.dmgNow);
        }
    }

    hitPipe.lastExp = 0;
    if (!attacker) return;
    Trace("%s", " }\n а после атаки"_w);
    if (target->useNormHP) Trace(" норм-хит(%d) ..."_w, st[kStNormHP]);
    if (target->useCaptHP) Trace(" капи-хит(%d) ..."_w, st[kStCaptHP]);
    if (target->useTehnHP) Trace(" техн-хит(%d) ..."_w, st[kStTehnHP]);
    Trace(" // hot %d", st[kStHot]);
    LogPrintf("%s", traceBuf);

    int sum = 0;
    if (target->useNormHP) sum += ClampLoss(before[0] - st[kStNormHP]);
    if (target->useCaptHP) sum += ClampLoss(before[1] - st[kStCaptHP]);
    if (target->useTehnHP) sum += ClampLoss(before[2] - st[kStTehnHP]);
    const int rank = target->unitExpRang < 1 ? 1 : (target->unitExpRang > 5 ? 5 : target->unitExpRang);
    int exp = int(sum * rank * 0.5);
    if (target->moveMode == 0) exp *= 2;
    hitPipe.lastExp = exp;
    if (attacker != fgrMainHero)
        attacker->unitExpNow = attacker->unitExpNow > INT32_MAX - exp ? INT32_MAX : attacker->unitExpNow + exp;
}
