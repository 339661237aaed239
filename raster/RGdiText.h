// The GDI side of the cached fonts (Windows only): the process-wide scratch
// bitmaps, the glyph source that renders one character with GDI, whole
// strings through GDI's DrawText, and the Wine detection that keeps text
// on the glyph path there.
#pragma once

#include "raster/RFontSystem.h"
#include "raster/RSysBitmap.h"

#include <memory>

// Shared by all fonts, created empty on first use and released with the
// last font. glyphScratch's DC keeps white text on an opaque black
// background. Window thread only.
RSysBitmap& Raster_GlyphScratch(int32_t minSize);
RSysBitmap& Raster_TextScratch(int32_t minWidth, int32_t minHeight);
void Raster_ReleaseGdiScratch();

// The glyph source of an HFONT; null when the font's metrics cannot be read.
std::unique_ptr<RGlyphSource> Raster_OpenGdiGlyphSource(RFontHandle font);

// Draws (or with DT_CALCRECT measures) job's text with GDI, straight into
// the bitmap's DC or through textScratch. Returns GDI's text height.
int32_t Raster_DrawGdiString(const RStringJob& job);

// 1 when the registry key HKEY_LOCAL_MACHINE\Software\Wine opens, else 0;
// asked once.
int32_t Raster_WineState();
// Tests: pretend to run (1) or not to run (0) under Wine; -1 asks again.
void Raster_OverrideWineState(int32_t state);
