// The bundle's description in Turtle, written from a constructed plug-in so
// that what hosts read (ports, ranges, units, defaults, presets) is what the
// binary does: manifest.ttl names the plug-in, its binary and its presets;
// the plug-in file describes its ports; presets.ttl holds every filled
// program slot.
#pragma once

#include <string>

class IEffectLV2;
struct Lv2PluginInfo;

struct Lv2BundleText {
  std::string manifest;
  std::string plugin;
  std::string presets;
};

// pluginFile and binaryFile are names inside the bundle.
Lv2BundleText DescribeLv2Bundle(const IEffectLV2& plugin, const Lv2PluginInfo& info,
                                const std::string& pluginFile, const std::string& binaryFile);
