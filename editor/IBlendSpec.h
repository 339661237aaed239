// How a control's pixels combine with what lies beneath: a blend kind and an
// overall opacity.
#pragma once

#include <cstdint>

#include "raster/RBlendMode.h"

struct IBlendSpec {
  enum Kind : int32_t {
    BlendAlphaCopy = 0,
    BlendOverwrite = 1,
    BlendAdditive = 2,
    BlendDodge = 3,
  };

  int32_t kind = BlendAlphaCopy;
  float weight = 1.0f;
};

// The raster mode word of a blend; null means {BlendAlphaCopy, 1.0} and an
// unknown kind blends like BlendAlphaCopy.
inline RBlendMode BlendModeOf(const IBlendSpec* blend) {
  switch (blend ? blend->kind : IBlendSpec::BlendAlphaCopy) {
    case IBlendSpec::BlendOverwrite:
      return RBlend::Copy;
    case IBlendSpec::BlendAdditive:
      return RBlend::Add | RBlendUseAlpha;
    case IBlendSpec::BlendDodge:
      return RBlend::Dodge | RBlendUseAlpha;
    default:
      return RBlend::Copy | RBlendUseAlpha;
  }
}

inline float BlendWeightOf(const IBlendSpec* blend) { return blend ? blend->weight : 1.0f; }
