// Paints compared with golden PNG files kept beside the tests. After a
// deliberate change to a paint, DM_UPDATE_GOLDEN=1 rewrites the goldens;
// look at every changed one before committing.
#pragma once

#include <string>

class RBitmap;

// Writes the bitmap as an 8-bit RGBA PNG file; false on failure.
bool WriteBitmapPng(RBitmap& bitmap, const std::string& path);

// Expects image to equal folder/name.png pixel for pixel. A mismatch writes
// the paint to the temp folder (name.actual.png) and says where.
void ExpectMatchesGolden(RBitmap& image, const std::string& folder, const std::string& name);
