#pragma once
// Record types and constants of the Enhanced Metafile format that the EMF
// canvas writes. Every record starts with its type and its size in bytes
// (a multiple of 4), both 32-bit little-endian.
#include <cstdint>

namespace nettor::emf {

enum RecordType : std::uint32_t {
    EMR_HEADER = 1,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_EOF = 14,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_MOVETOEX = 27,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_LINETO = 54,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
};

inline constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
inline constexpr std::uint32_t kVersion = 0x00010000;
inline constexpr std::uint32_t kHeaderSize = 108;      // with both header extensions
inline constexpr std::uint32_t kLogFontSize = 92;

// Stock objects are selected by their index with the top bit set.
inline constexpr std::uint32_t kStockObject = 0x80000000u;
inline constexpr std::uint32_t WHITE_BRUSH = kStockObject | 0;
inline constexpr std::uint32_t NULL_BRUSH = kStockObject | 5;
inline constexpr std::uint32_t WHITE_PEN = kStockObject | 6;
inline constexpr std::uint32_t BLACK_PEN = kStockObject | 7;
inline constexpr std::uint32_t NULL_PEN = kStockObject | 8;
inline constexpr std::uint32_t SYSTEM_FONT = kStockObject | 13;

inline constexpr std::uint32_t PS_SOLID = 0;
inline constexpr std::uint32_t PS_DOT = 2;
inline constexpr std::uint32_t PS_NULL = 5;
inline constexpr std::uint32_t BS_SOLID = 0;
inline constexpr std::uint32_t TRANSPARENT = 1;
inline constexpr std::uint32_t GM_COMPATIBLE = 1;
inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t CLIP_LH_ANGLES = 16;

} // namespace nettor::emf
