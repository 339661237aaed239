// Opens a file for binary reading by a multibyte path, taken as UTF-8 first.
#pragma once

#include <cstdio>

// Null when path is null or nothing opens.
FILE* OpenFileForReading(const char* path);
