// The raster library in one include: bitmaps, PNG loading, blend modes,
// blits, fills, masks, lines, circles and arcs, text with cached fonts.
#pragma once

#include "raster/RArc.h"
#include "raster/RBitmap.h"
#include "raster/RBlendMask.h"
#include "raster/RBlendMode.h"
#include "raster/RBlit.h"
#include "raster/RBlitTransformed.h"
#include "raster/RCachedFont.h"
#include "raster/RCircle.h"
#include "raster/RFill.h"
#include "raster/RFontSystem.h"
#include "raster/RImageLoader.h"
#include "raster/RLine.h"
#include "raster/RMemBitmap.h"
#include "raster/RPixelOps.h"
#include "raster/RPngLoader.h"
#include "raster/RRect.h"
#include "raster/RSoftenCopy.h"
#include "raster/RUtf8.h"

#ifdef _WIN32
#include "raster/RPngResource.h"
#include "raster/RSysBitmap.h"
#endif
