// Little-endian binary values: 32-bit ints and floats and single bytes.
//
// ByteReader walks a byte span and never reads past it: a short read fails
// the reader (and leaves the target unchanged). ByteWriter appends to a
// growing buffer that is written to disk in one go (see files.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

struct ByteReader {
    std::span<const std::uint8_t> bytes;
    std::size_t pos = 0;
    bool failed = false;

    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> b) : bytes(b) {}

    std::size_t Remaining() const { return failed ? 0 : bytes.size() - pos; }
    bool Has(std::size_t n) const { return !failed && bytes.size() - pos >= n; }

    bool ReadByte(std::uint8_t& out) {
        if (!Has(1)) return Fail();
        out = bytes[pos++];
        return true;
    }
    bool ReadI32(std::int32_t& out) {
        if (!Has(4)) return Fail();
        out = static_cast<std::int32_t>(std::uint32_t(bytes[pos]) | std::uint32_t(bytes[pos + 1]) << 8 |
                                        std::uint32_t(bytes[pos + 2]) << 16 | std::uint32_t(bytes[pos + 3]) << 24);
        pos += 4;
        return true;
    }
    bool ReadF32(float& out) {
        std::int32_t bits;
        if (!ReadI32(bits)) return false;
        std::memcpy(&out, &bits, 4);
        return true;
    }
    bool ReadBytes(void* out, std::size_t n) {
        if (!Has(n)) return Fail();
        if (n) std::memcpy(out, bytes.data() + pos, n);
        pos += n;
        return true;
    }
    bool Skip(std::size_t n) {
        if (!Has(n)) return Fail();
        pos += n;
        return true;
    }
    // Array walk of the file routines: fills up to n elements; returns how many.
    int ReadI32Array(std::int32_t* first, int n) {
        int done = 0;
        while (done < n && ReadI32(first[done])) ++done;
        return done;
    }
    int ReadF32Array(float* first, int n) {
        int done = 0;
        while (done < n && ReadF32(first[done])) ++done;
        return done;
    }

private:
    bool Fail() {
        failed = true;
        return false;
    }
};

struct ByteWriter {
    std::vector<std::uint8_t> bytes;

    void WriteByte(std::uint8_t b) { bytes.push_back(b); }
    void WriteI32(std::int32_t v) {
        auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }
    void WriteF32(float f) {
        std::int32_t bits;
        std::memcpy(&bits, &f, 4);
        WriteI32(bits);
    }
    void WriteBytes(const void* p, std::size_t n) {
        auto b = static_cast<const std::uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    int WriteI32Array(const std::int32_t* first, int n) {
        for (int i = 0; i < n; ++i) WriteI32(first[i]);
        return n > 0 ? n : 0;
    }
    int WriteF32Array(const float* first, int n) {
        for (int i = 0; i < n; ++i) WriteF32(first[i]);
        return n > 0 ? n : 0;
    }
};

// Fill walk of the file routines: stores value in n elements; returns n (0 when n <= 0).
template <typename T>
int FillArray(T* first, int n, T value) {
    for (int i = 0; i < n; ++i) first[i] = value;
    return n > 0 ? n : 0;
}
