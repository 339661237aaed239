// The edit gestures an editor window's input makes the plug-in send the
// host, shared by the window tests of every platform.
#pragma once

#include <string>
#include <vector>

#include "tests/vst/RecordingHost.h"

// The gesture requests, as "b2", "a2", "e2" (begin, automate, end and the
// parameter index).
inline std::vector<std::string> Gestures(const RecordingHost& host) {
  std::vector<std::string> out;
  for (const RecordingHost::Request& r : host.Requests()) {
    if (r.opcode == audioMasterBeginEdit) out.push_back("b" + std::to_string(r.index));
    if (r.opcode == audioMasterEndEdit) out.push_back("e" + std::to_string(r.index));
    if (r.opcode == audioMasterAutomate) out.push_back("a" + std::to_string(r.index));
  }
  return out;
}

// Every automate lies inside a begin/end pair of its parameter, and every
// begin has its end.
inline bool GesturesArePaired(const std::vector<std::string>& gestures) {
  std::vector<std::string> open;
  for (const std::string& g : gestures) {
    const std::string index = g.substr(1);
    if (g[0] == 'b') {
      open.push_back(index);
    } else if (g[0] == 'e') {
      bool found = false;
      for (auto it = open.begin(); it != open.end(); ++it) {
        if (*it == index) {
          open.erase(it);
          found = true;
          break;
        }
      }
      if (!found) return false;
    } else {
      bool inside = false;
      for (const std::string& o : open) inside = inside || o == index;
      if (!inside) return false;
    }
  }
  return open.empty();
}
