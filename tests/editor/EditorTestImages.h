// Simple generated stand-ins for the editor's four images, written once per
// test process as PNG files: a gradient background (488 x 282), a dark knob
// cap with a light dot (42 x 42), a two-frame knob (cap, then a light ring;
// 104 x 52) and a dark oval handle (16 x 16).
#pragma once

#include <string>

#include "tests/raster/GoldenImage.h"  // WriteBitmapPng

// The folder holding img/bg.png, img/knob.png, img/knob2.png and
// img/slider.png.
const std::string& TestImageFolder();
