// The layout's positions, sizes and font heights are for 96 dots per inch;
// a window on a display of another scale takes each of them times dpi/96,
// rounded as Windows' MulDiv rounds (to the nearest, halves away from zero).
#pragma once

namespace tarvik::fw {

constexpr int kDesignDpi = 96;

// value × to / from, rounded to the nearest, halves away from zero; the
// value itself when `from` is not positive.
int ScaleBetween(int value, int to, int from);

// A position, a size or a font height (negative: the character height)
// of the layout, at `dpi`.
inline int ScaleToDpi(int value, int dpi) { return ScaleBetween(value, dpi, kDesignDpi); }

// The whole factor by which a small picture made of single pixels (an
// arrow glyph) is drawn at `dpi`: every pixel a square of this side, so it
// stays sharp. 1 below 192 dpi, 2 from 192, 3 from 288.
int PixelFactor(int dpi);

}  // namespace tarvik::fw
