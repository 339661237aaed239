// A library whose entry point returns a record without the VST magic.
#include "vst/VstInterface.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
  static AEffect record{};
  record.magic = VstFourCC('N', 'o', 'p', 'e');
  return &record;
}
