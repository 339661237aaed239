#include "effect/ParameterMapping.h"

// The shape x*2 - x*x rises steeply at first and flattens towards 100 %.
static float BentPercent(float m) {
  const float x = m * 0.01f;
  return x * 2.0f - x * x;
}

float DampingFromPercent(float m) { return 6.0f - (BentPercent(m) * 5.96f); }

float DriveFromPercent(float m) {
  const float t = BentPercent(m) * 0.699f + 0.3f;
  return t * 2.0f / (1.0f - t);
}

float DriveCompensationFromPercent(float m) { return 0.55f - m * 0.0044f; }

float LevelFromPercent(int32_t n, float m) {
  if (n < 20) return m * 0.04f + 0.2f;
  return (m - 20.0f) * 0.05f + 1.0f;
}

float RoundFromPercent(float m) { return m * 0.0194f - 0.96f; }

float WetLevelFromPercent(float m) { return m * 0.01f; }

float DryLevelFromWet(float wet) { return 1.0f - wet; }
