// The value routines of the save file: little-endian words through the io
// routines, plus the checks every reader applies as it goes (ranges, finite
// floats, slot and cell numbers). A reader that meets a bad value fails
// and stays failed; its section is then refused as a whole.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "io/binary.h"
#include "world/fgr.h"
#include "world/kle.h"

// Appends straight into its own buffer, which doubles when full: a full
// world is several megabytes, written in the frame that saves, one word at
// a time. Its routines take the same arguments as SaveIn's and answer true,
// so one visitor of a record's words serves writing and reading.
struct SaveOut {
    std::vector<std::uint8_t> bytes;
    std::size_t used = 0;

    std::uint8_t* Grow(std::size_t n) {
        if (bytes.size() - used < n) bytes.resize(std::max(2 * bytes.size(), used + n));
        std::uint8_t* p = bytes.data() + used;
        used += n;
        return p;
    }
    // The bytes written so far; the writer is empty afterwards.
    std::vector<std::uint8_t> Take() {
        bytes.resize(used);
        used = 0;
        return std::move(bytes);
    }
    static void Put32(std::uint8_t* p, std::uint32_t u) {
        p[0] = static_cast<std::uint8_t>(u);
        p[1] = static_cast<std::uint8_t>(u >> 8);
        p[2] = static_cast<std::uint8_t>(u >> 16);
        p[3] = static_cast<std::uint8_t>(u >> 24);
    }
    bool I32(std::int32_t v, std::int32_t = INT32_MIN, std::int32_t = INT32_MAX) {
        Put32(Grow(4), static_cast<std::uint32_t>(v));
        return true;
    }
    bool U32(std::uint32_t v) {
        Put32(Grow(4), v);
        return true;
    }
    bool U16(std::uint16_t v) {
        std::uint8_t* p = Grow(2);
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        return true;
    }
    bool U8(std::uint8_t v, std::uint8_t = 255) {
        *Grow(1) = v;
        return true;
    }
    bool F32(float v) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        return U32(u);
    }
    bool Bytes(const void* p, std::size_t n) {
        if (n) std::memcpy(Grow(n), p, n);
        return true;
    }
    // n little-endian 32-bit words from memory: one copy on a little-endian
    // machine (a figure's blocks, a pool record's words).
    bool Words(const void* p, int n) {
        if (n <= 0) return true;
        std::uint8_t* to = Grow(4 * static_cast<std::size_t>(n));
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(to, p, 4 * static_cast<std::size_t>(n));
        } else {
            for (int i = 0; i < n; ++i) {
                std::uint32_t u;
                std::memcpy(&u, static_cast<const std::uint8_t*>(p) + 4 * i, 4);
                Put32(to + 4 * i, u);
            }
        }
        return true;
    }
    bool I32s(const std::int32_t* v, int n) { return Words(v, n); }
    bool F32s(const float* v, int n) { return Words(v, n); }
    // A figure reference as its slot number, 0 for none.
    bool Slot(const Fgr* f) { return I32(FgrSlotOf(f)); }
    bool Flag(std::int32_t v) { return I32(v); }
};

struct SaveIn {
    ByteReader r;
    bool bad = false;   // a value out of its range (the bytes themselves were there)

    explicit SaveIn(std::span<const std::uint8_t> bytes) : r(bytes) {}
    bool Ok() const { return !bad && !r.failed; }
    bool Fail() { bad = true; return false; }

    // Reads into v only when the value lies in lo..hi.
    bool I32(std::int32_t& v, std::int32_t lo = INT32_MIN, std::int32_t hi = INT32_MAX) {
        std::int32_t x = 0;
        if (!r.ReadI32(x)) return false;
        if (x < lo || x > hi) return Fail();
        v = x;
        return true;
    }
    bool U32(std::uint32_t& v) {
        std::int32_t x = 0;
        if (!r.ReadI32(x)) return false;
        v = static_cast<std::uint32_t>(x);
        return true;
    }
    bool U16(std::uint16_t& v) {
        std::uint8_t b[2];
        if (!r.ReadBytes(b, 2)) return false;
        v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
        return true;
    }
    bool U8(std::uint8_t& v, std::uint8_t hi = 255) {
        std::uint8_t x = 0;
        if (!r.ReadByte(x)) return false;
        if (x > hi) return Fail();
        v = x;
        return true;
    }
    // Floats must be finite: positions and speeds feed divisions and casts.
    bool F32(float& v) {
        float x = 0.0f;
        if (!r.ReadF32(x)) return false;
        if (!std::isfinite(x)) return Fail();
        v = x;
        return true;
    }
    bool Bytes(void* p, std::size_t n) { return r.ReadBytes(p, n); }
    bool I32s(std::int32_t* p, int n) {
        for (int i = 0; i < n; ++i)
            if (!I32(p[i])) return false;
        return true;
    }
    bool F32s(float* p, int n) {
        for (int i = 0; i < n; ++i)
            if (!F32(p[i])) return false;
        return true;
    }
    // A figure reference: slot 0..6000 (0 = none).
    bool Slot(Fgr*& f) {
        std::int32_t s = 0;
        if (!I32(s, 0, kFigureSlots)) return false;
        f = s ? &FigureTable[s] : nullptr;
        return true;
    }
    // A cell number the game may index with: 0 (none) or an interior cell.
    bool CellOrZero(std::int32_t& v) {
        std::int32_t x = 0;
        if (!I32(x)) return false;
        if (x != 0 && !KleInterior(x)) return Fail();
        v = x;
        return true;
    }
    // A boolean flag word: 0 or 1.
    bool Flag(std::int32_t& v) { return I32(v, 0, 1); }
};
