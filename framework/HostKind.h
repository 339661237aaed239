// The host application, recognised from a word in its product name.
#pragma once

#include <cstdint>

enum class HostKind : int32_t {
  NotQueried = -1,
  Other = 0,
  Reaper = 1,
  Cubase = 3,
  Nuendo = 4,
  Cakewalk = 5,
  Fruity = 7,
  Samplitude = 8,
  Live = 9,
  Melodyne = 12,
  VstManLib = 13,
  AuLab = 14,
  Forte = 15,
  Chainer = 16,
  Audition = 17,
  Orion = 18,
  SawStudio = 20,
  Logic = 21,
  Digital = 22,
  AudioMulch = 23,
  Presonus = 24,
  Acoustica = 25,
  GarageBand = 26,
  Ardour = 27,
};

// Case-insensitive; the first word of a fixed list found anywhere in the name
// decides ("Cubase Live" is Cubase). A null or unrecognised name is Other.
HostKind HostKindFromName(const char* name);
