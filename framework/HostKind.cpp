#include "framework/HostKind.h"

#include <cctype>
#include <cstring>

namespace {

struct HostWord {
  const char* word;
  HostKind kind;
};

// Order matters: the first word found wins, so "cubase" beats "live".
constexpr HostWord kHostWords[] = {
    {"cubase", HostKind::Cubase},
    {"reaper", HostKind::Reaper},
    {"nuendo", HostKind::Nuendo},
    {"cakewalk", HostKind::Cakewalk},
    {"samplitude", HostKind::Samplitude},
    {"fruity", HostKind::Fruity},
    {"live", HostKind::Live},
    {"melodyne", HostKind::Melodyne},
    {"vstmanlib", HostKind::VstManLib},
    {"aulab", HostKind::AuLab},
    {"forte", HostKind::Forte},
    {"chainer", HostKind::Chainer},
    {"audition", HostKind::Audition},
    {"orion", HostKind::Orion},
    {"sawstudio", HostKind::SawStudio},
    {"logic", HostKind::Logic},
    {"digital", HostKind::Digital},
    {"audiomulch", HostKind::AudioMulch},
    {"presonus", HostKind::Presonus},
    {"acoustica", HostKind::Acoustica},
    {"garageband", HostKind::GarageBand},
    {"ardour", HostKind::Ardour},
};

// Compares as if the name had been lower-cased first; no copy is made, so
// nothing is allocated whatever the host reports.
bool ContainsLowerCaseWord(const char* name, const char* word) {
  const size_t wordLength = std::strlen(word);
  for (const char* start = name; *start != '\0'; ++start) {
    size_t i = 0;
    while (i < wordLength && start[i] != '\0' &&
           std::tolower(static_cast<unsigned char>(start[i])) ==
               static_cast<unsigned char>(word[i])) {
      ++i;
    }
    if (i == wordLength) return true;
  }
  return false;
}

}  // namespace

HostKind HostKindFromName(const char* name) {
  if (!name) return HostKind::Other;
  for (const HostWord& entry : kHostWords) {
    if (ContainsLowerCaseWord(name, entry.word)) return entry.kind;
  }
  return HostKind::Other;
}
