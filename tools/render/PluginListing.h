// The text of render --list.
#pragma once

#include <string>

namespace render {

class PluginInstance;

// The text of render --list: the plug-in's identity, its programs (the
// current one marked) and its parameters with ranges and current display
// texts.
std::string DescribePlugin(PluginInstance& plugin);

}  // namespace render
