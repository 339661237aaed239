// The functions of the page's JavaScript that the panel's module calls
// (web/page-imports.js declares them to the linker). [page thread]
#pragma once

#include <cstdint>

extern "C" {
// A parameter has a new value from the panel.
void dm_page_parameter_edited(int32_t index, double value);
// Shows an input field at the editor-pixel rectangle holding text (UTF-8).
void dm_page_open_entry(int32_t x, int32_t y, int32_t width, int32_t height, const char* text);
// Copies the open input's text into text (capacity bytes, NUL-ended).
void dm_page_read_entry(char* text, int32_t capacity);
void dm_page_close_entry();
// Opens the address in a new tab; 0 when the browser refused.
int32_t dm_page_open_link(const char* address);
}
