// Shape changes of one glyph's 8-bit coverage (rows consecutive), applied
// once when the glyph is cached.
#pragma once

#include <cstdint>

// A quarter turn of the width x height bitmap src into dst (height x width):
// counter-clockwise, new (row i, column j) = old (row j, column width-1-i);
// clockwise, new (i, j) = old (row height-1-j, column i).
void Raster_TurnCoverage(const uint8_t* src, int32_t width, int32_t height, bool counterClockwise,
                         uint8_t* dst);

// Monochrome: above 130 becomes 255, the rest 0.
void Raster_ThresholdCoverage(uint8_t* coverage, int32_t width, int32_t height);

// On monochrome coverage, rows top to bottom and each left to right: an
// empty pixel becomes 128 when its left, upper-left or upper neighbour is
// ink.
void Raster_AddCoverageShadow(uint8_t* coverage, int32_t width, int32_t height);

// On monochrome coverage: an empty pixel becomes 128 when any of its four
// direct neighbours is ink.
void Raster_AddCoverageOutline(uint8_t* coverage, int32_t width, int32_t height);
