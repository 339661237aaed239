// Resource ids of the raster tests (shared by the resource script and C++).
#pragma once

#define kSevenByteResource 201
#define kNotPngResource 202
#define kMissingResource 203
#define kGeneratedPngResource 204
