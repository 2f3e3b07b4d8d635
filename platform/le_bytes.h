#pragma once
// Little-endian packing of plain values into byte buffers and back, independent of how the
// compiler lays out structs. Wire records and binary files are read and written through these.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/vecmath.h"

namespace platform {

// Writes values one after another into a buffer of known size. Writing past the end is dropped
// instead of overrunning the buffer (the wire-record tests check every layout byte by byte).
class LeWriter {
  public:
    LeWriter(uint8_t* out, size_t size) : out_(out), size_(size) {}

    void U8(uint8_t v) { Put(v, 1); }
    void U16(uint16_t v) { Put(v, 2); }
    void U32(uint32_t v) { Put(v, 4); }
    void I32(int32_t v) { Put(static_cast<uint32_t>(v), 4); }
    void F32(float v) { Put(std::bit_cast<uint32_t>(v), 4); }
    void Vec(Vec3 v) {
        F32(v.x);
        F32(v.y);
        F32(v.z);
    }
    void Bytes(const void* data, size_t n) {
        if (!Room(n)) {
            return;
        }
        std::memcpy(out_ + pos_, data, n);
        pos_ += n;
    }
    // A NUL-terminated name in a field of fixed size: at most field - 1 characters, zero-padded.
    void Name(const char* text, size_t field) {
        if (!Room(field)) {
            return;
        }
        std::memset(out_ + pos_, 0, field);
        if (text != nullptr && field > 0) {
            std::memcpy(out_ + pos_, text, strnlen(text, field - 1));
        }
        pos_ += field;
    }

    size_t Offset() const { return pos_; }

  private:
    bool Room(size_t n) {
        if (n > size_ - pos_) {
            return false;
        }
        return true;
    }
    void Put(uint32_t v, size_t n) {
        if (!Room(n)) {
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            out_[pos_ + i] = static_cast<uint8_t>(v >> (8 * i));
        }
        pos_ += n;
    }

    uint8_t* out_;
    size_t size_;
    size_t pos_ = 0;
};

// Reads values one after another from a buffer of known size. Reading past the end gives zeros
// and is remembered (Overran()), so truncated input never reads outside the buffer.
class LeReader {
  public:
    LeReader(const uint8_t* in, size_t size) : in_(in), size_(size) {}

    uint8_t U8() { return static_cast<uint8_t>(Get(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Get(2)); }
    uint32_t U32() { return Get(4); }
    int32_t I32() { return static_cast<int32_t>(Get(4)); }
    float F32() { return std::bit_cast<float>(Get(4)); }
    Vec3 Vec() {
        Vec3 v;
        v.x = F32();
        v.y = F32();
        v.z = F32();
        return v;
    }
    void Bytes(void* out, size_t n) {
        if (!Room(n)) {
            std::memset(out, 0, n);
            return;
        }
        std::memcpy(out, in_ + pos_, n);
        pos_ += n;
    }
    // A name field of fixed size into a buffer of the same size; a name that fills its whole field
    // without a terminating NUL is cut to field - 1 characters.
    void Name(char* out, size_t field) {
        Bytes(out, field);
        if (field > 0) {
            out[field - 1] = '\0';
        }
    }

    size_t Offset() const { return pos_; }
    bool Overran() const { return overran_; }

  private:
    bool Room(size_t n) {
        if (n > size_ - pos_) {
            overran_ = true;
            return false;
        }
        return true;
    }
    uint32_t Get(size_t n) {
        if (!Room(n)) {
            return 0;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i) {
            v |= static_cast<uint32_t>(in_[pos_ + i]) << (8 * i);
        }
        pos_ += n;
        return v;
    }

    const uint8_t* in_;
    size_t size_;
    size_t pos_ = 0;
    bool overran_ = false;
};

}  // namespace platform
