#pragma once
// Bounds-checked reading of little-endian binary data held in memory. Every
// read is limited by an end position; a read that would cross it fails,
// leaves the position where it was and yields nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace nettor {

class ByteCursor {
public:
    explicit ByteCursor(std::string_view data) : data_(data) {}

    std::size_t size() const { return data_.size(); }
    std::size_t position() const { return pos_; }
    std::string_view data() const { return data_; }
    // Moves to an absolute position, at most the end of the data.
    void seek(std::size_t to) { pos_ = to < data_.size() ? to : data_.size(); }

    bool byteAt(std::size_t at, std::uint8_t& out) const
    {
        if (at >= data_.size()) return false;
        out = static_cast<std::uint8_t>(data_[at]);
        return true;
    }

    bool u8(std::size_t end, std::uint8_t& out)
    {
        if (!fits(1, end)) return false;
        out = static_cast<std::uint8_t>(data_[pos_++]);
        return true;
    }
    bool u16(std::size_t end, std::uint16_t& out)
    {
        if (!fits(2, end)) return false;
        out = static_cast<std::uint16_t>(byte(0) | (byte(1) << 8));
        pos_ += 2;
        return true;
    }
    bool u32(std::size_t end, std::uint32_t& out)
    {
        if (!fits(4, end)) return false;
        out = byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
        pos_ += 4;
        return true;
    }
    bool f32(std::size_t end, float& out)
    {
        std::uint32_t bits;
        if (!u32(end, bits)) return false;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }

private:
    bool fits(std::size_t n, std::size_t end) const
    {
        const std::size_t limit = end < data_.size() ? end : data_.size();
        return pos_ <= limit && limit - pos_ >= n;
    }
    std::uint32_t byte(std::size_t i) const { return static_cast<unsigned char>(data_[pos_ + i]); }

    std::string_view data_;
    std::size_t pos_ = 0;
};

} // namespace nettor
