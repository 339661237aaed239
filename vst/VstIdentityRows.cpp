// The names the host shows for the plug-in.
#include "framework/TextCopy.h"
#include "vst/IEffectVST.h"
#include "vst/VstTextLimits.h"

intptr_t IEffectVST::DispatchIdentity(int32_t opcode, void* ptr) {
  char* text = static_cast<char*>(ptr);
  if (!text) return 0;
  switch (opcode) {
    case effGetEffectName:
      CopyTextBounded(text, kEffectNameBytes, EffectName());
      return 1;
    case effGetVendorString:
      CopyTextBounded(text, kVendorStringBytes, MakerName());
      return 1;
    case effGetProductString:
      CopyTextBounded(text, kProductStringBytes, ProductName());
      return 1;
    default:
      return 0;
  }
}
