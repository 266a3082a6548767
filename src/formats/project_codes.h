#pragma once
// The encodings inside a project file: base64 for image bytes, and the
// zlib stream the JSON is kept in.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nettor {

std::string base64Encode(const std::vector<unsigned char>& bytes);
// None for anything but base64 text (padding optional, no white space).
std::optional<std::vector<unsigned char>> base64Decode(std::string_view text);

// The text in a zlib stream.
std::string compressProjectText(const std::string& text);
// The text of a zlib stream of at most maxSize bytes when unpacked; none
// (and error says why) for a damaged or truncated stream or a larger one.
std::optional<std::string> decompressProjectBytes(std::string_view bytes, std::size_t maxSize, std::string& error);

} // namespace nettor
