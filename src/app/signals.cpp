// Input signals: the sig.txt loader and the per-frame evaluator.
#include "app/signals.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "io/files.h"
#include "io/text_reader.h"

Sig sigTable[kSigCount];
int keyTaken[256];
static Sig* slotHolder[kSigSlots];

void SigReset() {
    std::memset(sigTable, 0, sizeof sigTable);
    std::memset(keyTaken, 0, sizeof keyTaken);
    std::memset(slotHolder, 0, sizeof slotHolder);
}

// ---- loader

// Reads one ten-line record. False when the data ran out or a number was
// malformed before the record's last numbers were read.
static bool ParseRecord(TextReader& r, Sig& s) {
    std::string line;
    for (int i = 0; i < 3; ++i)
        if (!r.ReadLine(line)) return false;   // free text
    if (!r.ReadLine(line)) return false;
    std::string name = Trim(line);

    int v[6];
    if (!r.ReadInts(v, 6)) return false;
    std::memset(&s, 0, sizeof s);
    std::memcpy(s.name, name.data(), name.size() < kSigNameBytes - 1 ? name.size() : kSigNameBytes - 1);
    s.enabled = v[0] > 0 ? v[0] : 0;
    for (int k = 0; k < 3; ++k) s.key[k] = v[1 + k] >= 0 && v[1 + k] <= 255 ? v[1 + k] : 0;
    s.exclusive = v[4];
    s.spare = v[5];
    if (s.key[0] < 1 && s.key[1] < 1 && s.key[2] < 1) {
        s.error = 1;
        s.enabled = 0;
    }
    SkipLine(r);

    int multiSwitch = 0;
    if (!r.ReadInt(multiSwitch)) return false;
    SkipLine(r);
    if (multiSwitch) {
        int m[4];
        if (!r.ReadInts(m, 4)) return false;
        s.mode = kSigMultiPress;
        if (m[0] != 1) s.enabled = 0;
        s.firstWindowMs = m[1];
        s.secondWindowMs = m[2];
        s.multiOnly = m[3];
    } else {
        int mode = 0;
        if (!r.ReadInt(mode)) return false;
        if (mode == kSigMultiPress) s.enabled = 0;
        s.mode = mode >= kSigOnRelease && mode <= kSigEitherPlus ? mode : kSigAnyKey;
    }
    SkipLine(r);

    int counterSwitch = 0;
    if (!r.ReadInt(counterSwitch)) return false;
    SkipLine(r);
    if (counterSwitch) {
        int c[5];
        if (!r.ReadInts(c, 5)) return false;
        if (c[1] >= 2 && c[0] >= 1 && c[0] <= c[1]) {
            s.counter = c[0];
            s.counterMax = c[1];
            s.counterMode = c[2] == kCounterStop || c[2] == kCounterPingPong ? c[2] : kCounterWrap;
            s.repeatMs = c[3] > 0 ? c[3] : 0;
            s.repeatMax = c[4] > 0 ? c[4] : 0;
        } else {
            s.enabled = 0;
        }
    } else {
        int toggle = 0;
        if (!r.ReadInt(toggle)) return false;
        if (toggle == 1) {
            s.counter = 1;
            s.counterMax = 2;
            s.counterMode = kCounterWrap;
        }
    }
    SkipLine(r);

    int t[4];
    if (!r.ReadInts(t, 4)) return false;
    s.lockoutMs = t[0];
    s.slot = s.enabled > 0 ? t[1] : 0;
    s.priority = s.enabled > 0 ? t[2] : 0;
    if (t[3]) {
        s.firstTimer = s.secondTimer = s.lockoutTimer = s.holdMs = 0;
        s.repeatStart = 0;
        s.repeatCount = 0;
        s.latched = 0;
        if (s.enabled > 0) s.live = 1;
    }
    SkipLine(r);   // the last record may end without a line feed
    return true;
}

int SigParse(std::span<const std::uint8_t> bytes, Sig* table, int count) {
    std::memset(table, 0, sizeof(Sig) * static_cast<std::size_t>(count));
    TextReader r(bytes);
    for (int i = 0; i < count; ++i) {
        Sig s;
        std::memset(&s, 0, sizeof s);
        if (!ParseRecord(r, s)) return i;   // this and later records stay disabled
        table[i] = s;
    }
    return count;
}

int SigLoadFile(const char* path) {
    SigReset();
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, 1u << 20) != FileStatus::Ok) return 0;
    SigParse(bytes, sigTable, kSigCount);
    return 1;
}

// ---- evaluator

enum KeyTest { kNotHeld, kHeld, kBlocked };

static bool Held(int vk) { return vk > 0 && vk < kKeyCount && keyDown[vk] != 0; }
static bool Taken(int vk) { return vk > 0 && vk < 256 && keyTaken[vk] != 0; }
static void MarkTaken(int vk) {
    if (vk > 0 && vk < 256) keyTaken[vk] = 1;
}

static KeyTest AnyKey(const Sig& s) {
    for (int vk : s.key) {
        if (vk <= 0) continue;
        if (s.exclusive && Taken(vk)) return kBlocked;
        if (Held(vk)) return kHeld;
    }
    return kNotHeld;
}

// Mode 1: a key went down since the last time all were released.
static bool FreshPress(Sig& s) {
    if (s.latched) {
        for (int vk : s.key)
            if (vk > 0 && !Held(vk)) s.latched = 0;
        return false;
    }
    for (int vk : s.key) {
        if (vk <= 0) continue;
        if (s.exclusive && Taken(vk)) return false;
        if (Held(vk)) return true;
    }
    return false;
}

static void StorePress(Sig& s, int index) {
    s.pressX[index] = cursorX;
    s.pressY[index] = cursorY;
}

static int MultiPress(Sig& s) {
    int fired = 0;
    if (s.secondTimer > 0) {
        if (FreshPress(s)) {
            fired = 3;
            s.latched = 1;
            s.secondTimer = 0;
            StorePress(s, 2);
        } else if (Countdown(&s.secondTimer)) {
            fired = 2;
        }
    } else if (s.firstTimer > 0) {
        if (FreshPress(s)) {
            s.firstTimer = 0;
            s.latched = 1;
            StorePress(s, 1);
            if (s.secondWindowMs > 0) s.secondTimer = s.secondWindowMs;
            else fired = 2;
        } else if (Countdown(&s.firstTimer)) {
            fired = 1;
        }
    } else if (FreshPress(s)) {
        s.latched = 1;
        s.firstTimer = s.firstWindowMs;
        StorePress(s, 0);
    }
    if (s.multiOnly && fired <= 1) fired = 0;
    return fired;
}

static int FirstPlus(const Sig& s) {   // mode 3
    if (s.key[0] < 1 || !Held(s.key[0])) return 0;
    MarkTaken(s.key[0]);
    if (s.key[1] > 0) {
        if (Taken(s.key[1])) return 0;
        if (Held(s.key[1])) return 1;
    }
    if (s.key[2] <= 0 || Taken(s.key[2])) return 0;
    return Held(s.key[2]) ? 1 : 0;
}

static int EitherPlus(const Sig& s) {   // mode 4
    if (s.key[0] > 0 && Held(s.key[0])) {
        MarkTaken(s.key[0]);
        if (s.key[2] > 0) {
            if (Taken(s.key[2])) return 0;
            if (Held(s.key[2])) return 1;
        }
    }
    if (s.key[1] <= 0 || !Held(s.key[1])) return 0;
    MarkTaken(s.key[1]);
    if (s.key[2] <= 0 || Taken(s.key[2])) return 0;
    return Held(s.key[2]) ? 1 : 0;
}

static void AdvanceCounter(Sig& s) {
    switch (s.counterMode) {
    case kCounterStop:
        if (s.counter < s.counterMax) ++s.counter;
        break;
    case kCounterPingPong:
        if (s.pingPongDir != -1) s.pingPongDir = 1;
        s.counter += s.pingPongDir;
        if (s.counter > s.counterMax) {
            s.counter = s.counterMax;
            s.pingPongDir = -s.pingPongDir;
        } else if (s.counter < 1) {
            s.counter = 1;
            s.pingPongDir = -s.pingPongDir;
        }
        break;
    default:
        if (++s.counter > s.counterMax) s.counter = 1;
        break;
    }
}

static int AutoRepeat(Sig& s, int fired) {
    if (!fired) {
        s.repeatStart = 0;
        return 0;
    }
    if (s.repeatStart == 0) {
        s.repeatStart = frameStampMs;
        s.repeatCount = 0;
        return s.mode == kSigOnRelease ? 0 : 1;
    }
    int elapsed = static_cast<int>(frameStampMs - s.repeatStart);
    if (elapsed < 1) {
        s.repeatStart = 0;
        return 0;
    }
    if (elapsed < s.repeatMs) return 0;
    ++s.repeatCount;
    return s.repeatMax && s.repeatCount > s.repeatMax ? 0 : 1;
}

static void Evaluate(Sig& s) {
    s.fired = 0;
    s.lockoutTimer = s.lockoutTimer > frameDeltaMs ? s.lockoutTimer - frameDeltaMs : 0;
    if (s.enabled <= 0 || s.live < 1) return;
    if (s.counter < 1) s.counter = 0;
    if (s.counterMax < 2) s.counterMax = s.counter + 1;

    int fired = 0;
    if (s.mode == kSigMultiPress && s.firstWindowMs && s.counter) {
        fired = MultiPress(s);
        if (s.lockoutTimer > 0) return;
    } else {
        if (s.lockoutTimer > 0) return;
        switch (s.mode) {
        case kSigOnRelease: {
            KeyTest t = AnyKey(s);
            if (t == kHeld) {
                s.holdMs = s.holdMs == 0 ? 1 : s.holdMs + frameDeltaMs;
            } else if (t == kNotHeld && s.holdMs) {
                s.holdMs = 0;
                fired = 1;
            }
            break;
        }
        case kSigFirstPlus: fired = FirstPlus(s); break;
        case kSigEitherPlus: fired = EitherPlus(s); break;
        default: fired = AnyKey(s) == kHeld ? 1 : 0; break;
        }
    }

    if (s.counter && s.repeatMs) fired = AutoRepeat(s, fired);
    s.fired = fired;
    if (!fired) return;
    if (s.mode != kSigMultiPress && fired == 1) StorePress(s, 0);
    if (s.counter) AdvanceCounter(s);
    if (s.lockoutMs > 0) s.lockoutTimer = s.lockoutMs;
}

void SigUpdateAll(Sig* first, Sig* last) {
    std::memset(slotHolder, 0, sizeof slotHolder);
    std::memset(keyTaken, 0, sizeof keyTaken);
    if (!first || !last || last < first) return;
    if (last - first >= kSigMaxPass) last = first + kSigMaxPass - 1;
    for (Sig* s = first; s <= last; ++s) {
        Evaluate(*s);
        if (!s->fired || s->slot < 1 || s->slot >= kSigSlots) continue;
        Sig*& holder = slotHolder[s->slot];
        if (!holder) {
            holder = s;
        } else if (s->priority > holder->priority) {
            holder->fired = 0;
            holder = s;
        } else {
            s->fired = 0;
        }
    }
    KeyPressesSeen();
}
