// The text rules shared by every subsystem: device names, database lines, window texts and
// list entries are all compared and converted through these few functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace revivix {

// Removes leading and trailing blanks (the space character only; tabs stay).
std::wstring Trim(std::wstring_view text);

// Upper-cases a text: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters.
std::wstring UCase(std::wstring_view text);

// True when `text` contains `part` after both are upper-cased.
bool ContainsNoCase(std::wstring_view text, std::wstring_view part);

// True when both texts are equal after upper-casing.
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

// Splits at every occurrence of `separator`. An empty text gives no pieces at all; otherwise
// there is always one piece more than there are separators.
std::vector<std::wstring> Split(std::wstring_view text, std::wstring_view separator);

// The leading-number rule: blanks, tabs and line feeds anywhere are ignored; from the start,
// digits with at most one "." are read and the first other character ends the number. A text
// that does not start with a number reads 0.
double NumericValue(std::wstring_view text);

// A number in a digit-placeholder format such as "####" or "##.00": "#" shows a digit only where
// there is one, "0" always shows one, and the value is rounded (half away from zero) to the
// places shown. "####" shows nothing for 0; "##.00" shows 0.5 as ".50".
std::wstring FormatNumber(double value, std::wstring_view format);

// Decoding of the two file encodings the program reads.
std::wstring DecodeUtf16Le(const std::uint8_t* bytes, std::size_t count);
std::wstring DecodeAnsi1252(const std::uint8_t* bytes, std::size_t count);
std::string EncodeAnsi1252(std::wstring_view text);

// Appends one code point: a surrogate pair where wchar_t has 16 bits.
void AppendCodePoint(std::wstring& out, std::uint32_t cp);

// The code point that starts at text[i] (a whole surrogate pair where wchar_t has 16 bits; a lone
// half as itself); moves i past it.
std::uint32_t NextCodePoint(std::wstring_view text, std::size_t& i);

// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, std::uint32_t cp);

// UTF-8 for diagnostics and for paths handed to the standard library.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace revivix
