#pragma once
// A 5 x 7 pixel bitmap font for printable ASCII, enough to label a rendered
// tile without a font library. Each glyph is five columns, left to right; bit
// 0 of a column is the top pixel, bit 6 the bottom one.

#include <array>
#include <cstdint>

namespace tilbo::luctool {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

using Glyph = std::array<uint8_t, kGlyphWidth>;

// The glyph of a character; characters outside ' '..'~' show as '?'.
const Glyph& GlyphOf(char c);

}  // namespace tilbo::luctool
