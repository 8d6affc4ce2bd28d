#pragma once
// A bounded little-endian reader over bytes someone else owns. Every read is
// checked against the end; a read past it raises EInvalidGraphic with the
// message the owning format uses for a damaged file, so a reader never has to
// test lengths by hand before each field.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Endian.h"
#include "platform/Errors.h"

namespace animora {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size, std::string failureMessage)
        : data_(data), size_(size), failure_(std::move(failureMessage)) {}

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }

    // Raises the format's failure when [offset, offset + count) is not inside.
    void Require(size_t offset, size_t count) const
    {
        if (offset > size_ || count > size_ - offset)
            Fail();
    }
    bool Contains(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }

    uint8_t U8(size_t offset) const { Require(offset, 1); return data_[offset]; }
    uint16_t U16(size_t offset) const { Require(offset, 2); return GetU16LE(data_ + offset); }
    int16_t S16(size_t offset) const { Require(offset, 2); return GetS16LE(data_ + offset); }
    uint32_t U32(size_t offset) const { Require(offset, 4); return GetU32LE(data_ + offset); }
    int32_t S32(size_t offset) const { Require(offset, 4); return GetS32LE(data_ + offset); }
    float F32(size_t offset) const
    {
        const uint32_t bits = U32(offset);
        float value;
        static_assert(sizeof value == sizeof bits);
        __builtin_memcpy(&value, &bits, sizeof value);
        return value;
    }
    const uint8_t* Bytes(size_t offset, size_t count) const { Require(offset, count); return data_ + offset; }

    // A reader over [offset, offset + count) of this one, same failure text.
    ByteReader Sub(size_t offset, size_t count) const
    {
        Require(offset, count);
        return ByteReader(data_ + offset, count, failure_);
    }

    [[noreturn]] void Fail() const { throw EInvalidGraphic(failure_); }
    const std::string& FailureMessage() const { return failure_; }

private:
    const uint8_t* data_;
    size_t size_;
    std::string failure_;
};

} // namespace animora
