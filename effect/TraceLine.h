// The diagnostic line written to the debugger after each parameter change:
// a label, a blank, and up to nine numbers joined by ", ". Numbers print as
// integers when whole and otherwise with just enough decimals (at most 11).
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>

// A position holding this value (or more) carries no number.
inline constexpr double kTraceAbsent = DBL_MAX;
inline constexpr int32_t kTraceMaxNumbers = 9;

// Room for any formatted number: a non-whole double is below 2^52, so at most
// 16 integer digits, a sign, a point and 11 decimals.
inline constexpr size_t kTraceNumberCapacity = 48;

// Writes the text of one number into text (NUL-terminated, cut to capacity).
void FormatTraceNumber(double x, char* text, size_t capacity);

// Writes the present numbers of the list, joined by ", ", into line.
void JoinTraceNumbers(const double* numbers, int32_t count, char* line, size_t capacity);

// Builds the whole line ("label " followed by the joined numbers); an empty
// or null label gives an empty beginning.
void BuildTraceLine(const char* label, const double* numbers, int32_t count, char* line,
                    size_t capacity);

// Builds the line on the stack and sends it to the debugger output, without
// a line end. Allocates nothing.
void TraceValues(const char* label, double n0 = kTraceAbsent, double n1 = kTraceAbsent,
                 double n2 = kTraceAbsent, double n3 = kTraceAbsent, double n4 = kTraceAbsent,
                 double n5 = kTraceAbsent, double n6 = kTraceAbsent, double n7 = kTraceAbsent,
                 double n8 = kTraceAbsent);
