// What the editor screenshot tools of both platforms share: the command
// line, the plug-in's settings and the PNG file.
//   editor_shot MODULE OUT.png [--program N] [INDEX=NORMALISED ...]
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vst/VstInterface.h"

inline intptr_t EditorShotHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

inline bool EditorShotUsage(int argc) {
  if (argc >= 3) return true;
  std::fprintf(stderr, "usage: editor_shot MODULE OUT.png [--program N] [INDEX=VALUE ...]\n");
  return false;
}

// The plug-in from the module's entry point, if it has an editor to show.
inline AEffect* PluginWithEditor(VstPluginMainProc entry, const char* path) {
  AEffect* effect = entry ? entry(&EditorShotHost) : nullptr;
  if (effect && (effect->flags & effFlagsHasEditor)) return effect;
  std::fprintf(stderr, "editor_shot: %s has no editor to show\n", path);
  return nullptr;
}

// Opens the plug-in and applies the program and parameters of the command
// line; returns the editor's size (0 x 0 without an editor).
inline void PrepareForShot(AEffect* effect, int argc, char** argv, int& width, int& height) {
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc) {
      effect->dispatcher(effect, effSetProgram, 0, std::atoi(argv[++i]), nullptr, 0.0f);
    } else if (const char* equals = std::strchr(argv[i], '=')) {
      effect->setParameter(effect, std::atoi(argv[i]), static_cast<float>(std::atof(equals + 1)));
    }
  }
  ERect* rect = nullptr;
  effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f);
  width = rect ? rect->right - rect->left : 0;
  height = rect ? rect->bottom - rect->top : 0;
}

inline bool WriteRgbPng(const char* path, const std::vector<uint8_t>& rgb, int width, int height) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path, 0, rgb.data(), width * 3, nullptr) != 0;
}
