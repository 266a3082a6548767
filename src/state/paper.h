#pragma once
// The paper the pattern is fitted to and printed on: A4 portrait, of which
// each page shows an 18 x 26.7 cm window of the sheet. In centimetres.

namespace nettor {

inline constexpr double kPageWidthCm = 21.0;
inline constexpr double kPageHeightCm = 29.7;
inline constexpr double kPageContentWidthCm = 18.0;
inline constexpr double kPageContentHeightCm = 26.7;

} // namespace nettor
