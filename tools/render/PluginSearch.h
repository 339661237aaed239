// Where render looks for a plug-in module when none is named.
#pragma once

#include <string>
#include <vector>

namespace render {

// Where the modules of one plug-in format are looked for when none is named,
// in the order Linux hosts search: the tool's own places first, then the
// format's path variable, the user's folder and the system's folders. VST 3
// is another table of the same shape (~/.vst3, /usr/local/lib/vst3, ...).
struct PluginSearchRules {
  std::string fileName;                 // the module looked for
  std::vector<std::string> besideTool;  // relative to the tool's folder
  std::string buildTreeTool;            // the tool's folder inside a build tree
  std::string buildTreeModule;          // the module's folder relative to it
  std::string pathVariable;             // colon-separated folders
  std::vector<std::string> inHome;      // relative to $HOME
  std::vector<std::string> systemFolders;
};

// duoMangler.so as a VST 2.4 module.
const PluginSearchRules& Vst2Search();

// What the search depends on; CurrentSearchPlaces() reads it from the process.
struct SearchPlaces {
  std::string toolFolder;    // absolute
  std::string pathVariable;  // empty when unset
  std::string home;          // empty when unset
};

SearchPlaces CurrentSearchPlaces(const PluginSearchRules& rules);

// The folders searched, in order, each once.
std::vector<std::string> SearchFolders(const PluginSearchRules& rules, const SearchPlaces& places);

// The absolute path of the first folder's module. Throws RenderError naming
// the folders searched and --plugin when none holds it.
std::string FindPlugin(const PluginSearchRules& rules, const SearchPlaces& places);

}  // namespace render
