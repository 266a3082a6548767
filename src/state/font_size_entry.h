#pragma once
// The edge-number font size as the user types it in the settings dialog.
#include <cstdint>
#include <optional>
#include <string>

namespace nettor {

inline constexpr std::int32_t kMinEdgeIdFontSize = 1;
inline constexpr std::int32_t kMaxEdgeIdFontSize = 72;

// The integer the text holds, blanks around it allowed, when it lies in
// kMinEdgeIdFontSize..kMaxEdgeIdFontSize; nothing for anything else.
std::optional<std::int32_t> parseEdgeIdFontSize(const std::string& text);

// "Please enter an integer between 1 and 72."
std::string edgeIdFontSizeMessage();

} // namespace nettor
