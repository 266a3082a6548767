#pragma once
// Checks made on image bytes before the decoder library sees them, for
// damage its version in Debian 12 does not catch soundly itself: a JPEG
// Huffman table of more than 256 codes (it would write past its tables)
// and a PNG data chunk of no bytes (it would copy from no memory).
#include <optional>
#include <string>
#include <string_view>

namespace nettor {

// False when a JPEG file holds a Huffman table of more than 256 codes or
// one that runs past its segment; true for any other bytes.
bool jpegTablesSound(std::string_view bytes);

// A PNG file without its empty data chunks, when it has any; nothing else.
std::optional<std::string> pngWithoutEmptyData(std::string_view bytes);

} // namespace nettor
