// Code page 437, the character set of every on-screen text, and its way to
// and from the window system's encodings (window titles, typed characters).
#pragma once
#include <string>
#include <string_view>

namespace display {

// The Unicode character a code page 437 byte shows as. Byte 0 is a blank;
// 1..31 and 127 are the symbols the VGA font draws for them.
char32_t unicodeFromCp437(unsigned char byte);

// A code page 437 text as UTF-8 (for _NET_WM_NAME).
std::string utf8FromCp437(std::string_view text);

// A code page 437 text as ISO 8859-1 (for WM_NAME); characters that Latin-1
// lacks become '?'.
std::string latin1FromCp437(std::string_view text);

// The code page 437 byte of a Unicode character, or -1 when it has none.
// ASCII maps to itself, control characters included.
int cp437FromUnicode(char32_t c);

}  // namespace display
