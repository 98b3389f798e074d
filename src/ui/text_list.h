// Text lists: filling a list widget from a text file, colouring its lines
// with the word-colouring list, and typing into the focused list.
// Drawing and scrolling are the widget layer's (ui/widget_draw.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct Widget;
struct TextList;

// Text files shown in a list are read whole; larger ones are refused.
inline constexpr std::size_t kMaxTextListBytes = 1u << 20;
inline constexpr int kMaxColourGrow = 333;

// Fills the widget's list from the bytes (creating the list when it has
// none): one entry per line, and one more, empty, after a final line feed.
// Sets the modified flag.
void LoadTextListBytes(Widget* w, std::span<const std::uint8_t> bytes);
// The same from a file. 0, with the list left as it was, when the file is
// missing, unreadable or too large.
int LoadTextList(Widget* w, const char* path);

// Adds count copies of (text, colours) before position, or at the end for
// -1 or a position past the last entry. Returns the number added.
int InsertLines(TextList* list, const std::string& text, const std::string& colours, int position,
                int count);

// Recomputes every entry's colours; an unclosed quotation carries over.
void RecolourList(Widget* w);

// Colours one token of text at *position: appends its letters to colours
// and advances *position.
void ColourToken(const std::string& text, std::size_t* position, std::string& colours);

// A typed character for a list widget: 8 Backspace, 9 Tab, 13 Enter, 32 and
// above printable (Windows-1251); other codes change nothing.
void TypeChar(Widget* w, int code);
