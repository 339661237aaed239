#include "tools/render/PluginSearch.h"

#include "tools/render/RenderError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace render {
namespace {

std::string ExecutableFolder() {
  std::string path(PATH_MAX, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  path.resize(n > 0 ? static_cast<size_t>(n) : 0);
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// "/opt/dm/bin/../lib/vst" -> "/opt/dm/lib/vst", without asking the file
// system, so that folders are shown plainly and each searched once.
std::string Normalised(const std::string& folder) {
  std::string f = std::filesystem::path(folder).lexically_normal().string();
  if (f.size() > 1 && f.back() == '/') {
    f.pop_back();
  }
  return f;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

const PluginSearchRules& Vst2Search() {
  static const PluginSearchRules rules{
      "duoMangler.so",
      // Beside the tool, and in the lib/vst of the prefix it is installed in.
      {".", "../lib/vst"},
      // <build>/tools/render/render and <build>/module/duoMangler.so.
      "/tools/render",
      "../../module",
      "VST_PATH",
      {".vst"},
      {"/usr/local/lib/vst", "/usr/lib/vst"}};
  return rules;
}

SearchPlaces CurrentSearchPlaces(const PluginSearchRules& rules) {
  SearchPlaces p;
  p.toolFolder = ExecutableFolder();
  const char* value = std::getenv(rules.pathVariable.c_str());
  const char* home = std::getenv("HOME");
  p.pathVariable = value ? value : "";
  p.home = home ? home : "";
  return p;
}

std::vector<std::string> SearchFolders(const PluginSearchRules& rules, const SearchPlaces& places) {
  std::vector<std::string> folders;
  const auto add = [&folders](const std::string& folder) {
    const std::string f = Normalised(folder);
    if (std::find(folders.begin(), folders.end(), f) == folders.end()) {
      folders.push_back(f);
    }
  };
  for (const std::string& relative : rules.besideTool) {
    add(places.toolFolder + "/" + relative);
  }
  if (EndsWith(places.toolFolder, rules.buildTreeTool)) {
    add(places.toolFolder + "/" + rules.buildTreeModule);
  }
  size_t start = 0;
  while (start < places.pathVariable.size()) {
    const size_t end = std::min(places.pathVariable.find(':', start), places.pathVariable.size());
    if (end > start) {
      add(places.pathVariable.substr(start, end - start));
    }
    start = end + 1;
  }
  if (!places.home.empty()) {
    for (const std::string& relative : rules.inHome) {
      add(places.home + "/" + relative);
    }
  }
  for (const std::string& folder : rules.systemFolders) {
    add(folder);
  }
  return folders;
}

std::string FindPlugin(const PluginSearchRules& rules, const SearchPlaces& places) {
  const std::vector<std::string> folders = SearchFolders(rules, places);
  std::string searched;
  for (const std::string& folder : folders) {
    const std::string path = folder + "/" + rules.fileName;
    if (IsFile(path)) {
      char resolved[PATH_MAX];
      return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
    }
    searched += (searched.empty() ? "" : ", ") + folder;
  }
  throw RenderError("cannot find the plug-in: " + rules.fileName + " is in none of " + searched +
                    " (" + rules.pathVariable + " adds folders); copy it into ~/" +
                    rules.inHome.front() + "/ or name the module with --plugin PATH");
}

}  // namespace render
