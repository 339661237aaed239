// The 32-bit mode word of every drawing operation: operation in bits 0-7,
// sampling filter in bits 8-15, source-alpha weighting in bit 16.
#pragma once

#include <cstdint>

using RBlendMode = uint32_t;

// Not in use: kept in its documented place; nothing in the product calls it.
// The editor reaches Copy, Add and Dodge (IBlendSpec) and the bilinear filter.
//   Multiply, SoftLight, HueSatValue
//   RBlendChannelCopy
namespace RBlend {
inline constexpr uint32_t Copy = 0;
inline constexpr uint32_t Add = 1;
inline constexpr uint32_t Dodge = 2;
inline constexpr uint32_t Multiply = 3;
inline constexpr uint32_t SoftLight = 4;
inline constexpr uint32_t HueSatValue = 5;
}  // namespace RBlend

// Blits only: operations 0xF0-0xFF copy source byte (bits 0-1) into
// destination byte (bits 2-3); byte 0 blue, 1 green, 2 red, 3 alpha.
inline constexpr uint32_t RBlendChannelCopy = 0xF0;
inline constexpr uint32_t RBlendBilinear = 0x100;
inline constexpr uint32_t RBlendUseAlpha = 0x10000;

inline constexpr uint32_t RBlendOperationMask = 0xFF;
inline constexpr uint32_t RBlendFilterMask = 0xFF00;

inline constexpr uint32_t Raster_BlendOperation(RBlendMode mode) {
  return mode & RBlendOperationMask;
}
inline constexpr bool Raster_IsChannelCopy(RBlendMode mode) { return (mode & 0xF0) == 0xF0; }
