#pragma once

#include <string>

// Conversion between UTF-16 and the system ANSI code page (936, GBK, on the systems the
// installer is made for). Both stop at the input's first NUL, as the byte-string APIs would.

// Converts an ANSI byte string to UTF-16. Bytes that are not valid in the code page become
// the system's replacement character.
std::wstring AnsiToWide(const std::string& text);

// Converts UTF-16 to the ANSI code page. Characters the code page cannot represent become its
// substitute character ("?"), so a path converted this way may name a different file.
// Returns the empty string when the conversion fails.
std::string WideToAnsi(const std::wstring& text);
