#include "effect/TraceLine.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "effect/ParameterMapping.h"
#include "platform/DebugOutput.h"

namespace {

constexpr int32_t kMostDecimals = 11;
constexpr double kTraceZero = 1e-15;
// Room for the label and the nine numbers with their separators.
constexpr size_t kTraceLineCapacity = 1024;

bool IsWhole(double v) { return std::floor(v) == v; }

// The fewest decimals that show |x| exactly, judged with single-precision
// powers of ten; 11 when none up to 10 do.
int32_t DecimalsFor(double magnitude) {
  float scale = 1.0f;
  for (int32_t p = 0; p < kMostDecimals; ++p) {
    if (IsWhole(static_cast<double>(scale) * magnitude)) return p;
    scale *= 10.0f;
  }
  return kMostDecimals;
}

// Appends text at *used, never past capacity - 1; the line stays terminated.
void AppendText(const char* text, char* line, size_t capacity, size_t* used) {
  if (*used + 1 >= capacity) return;
  const size_t room = capacity - 1 - *used;
  size_t length = std::strlen(text);
  if (length > room) length = room;
  std::memcpy(line + *used, text, length);
  *used += length;
  line[*used] = '\0';
}

}  // namespace

void FormatTraceNumber(double x, char* text, size_t capacity) {
  if (text == nullptr || capacity == 0) return;
  const double magnitude = std::fabs(x);
  if (IsWhole(magnitude) || magnitude < kTraceZero) {
    std::snprintf(text, capacity, "%d", static_cast<int>(RoundHalfAwayFromZero(x)));
    return;
  }
  char format[8];
  std::snprintf(format, sizeof format, "%%.%df", static_cast<int>(DecimalsFor(magnitude)));
  std::snprintf(text, capacity, format, x);
}

void JoinTraceNumbers(const double* numbers, int32_t count, char* line, size_t capacity) {
  if (line == nullptr || capacity == 0) return;
  line[0] = '\0';
  if (numbers == nullptr) return;
  size_t used = 0;
  bool first = true;
  for (int32_t i = 0; i < count; ++i) {
    if (numbers[i] >= kTraceAbsent) continue;
    char number[kTraceNumberCapacity];
    FormatTraceNumber(numbers[i], number, sizeof number);
    if (!first) AppendText(", ", line, capacity, &used);
    AppendText(number, line, capacity, &used);
    first = false;
  }
}

void BuildTraceLine(const char* label, const double* numbers, int32_t count, char* line,
                    size_t capacity) {
  if (line == nullptr || capacity == 0) return;
  line[0] = '\0';
  size_t used = 0;
  if (label != nullptr && label[0] != '\0') {
    AppendText(label, line, capacity, &used);
    AppendText(" ", line, capacity, &used);
  }
  if (used + 1 < capacity) JoinTraceNumbers(numbers, count, line + used, capacity - used);
}

void TraceValues(const char* label, double n0, double n1, double n2, double n3, double n4,
                 double n5, double n6, double n7, double n8) {
  const double numbers[kTraceMaxNumbers] = {n0, n1, n2, n3, n4, n5, n6, n7, n8};
  char line[kTraceLineCapacity];
  BuildTraceLine(label, numbers, kTraceMaxNumbers, line, sizeof line);
  WriteDebugOutput(line);
}
