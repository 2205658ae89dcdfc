// Turning the bytes of a fetched web page into text, the way a browser chooses the page's
// character encoding: a byte order mark first, then the charset of the HTTP Content-Type header,
// then a <meta charset> or <meta http-equiv="Content-Type"> within the page's first 1024 bytes,
// and windows-1252 when none of them names an encoding the program knows.
#pragma once

#include <string>
#include <string_view>

namespace revivix {

enum class HtmlCharset { Windows1252, Utf8, Utf16Le, Utf16Be };

// The encoding a label names ("utf-8", "latin1", "cp1252", ...; letter case and surrounding
// white space ignored), or false when the label names none of the four.
bool HtmlCharsetFromLabel(std::string_view label, HtmlCharset& charset);

// The encoding of a page with these bytes, fetched with this Content-Type header value (may be
// empty). A label of an encoding the program does not know is passed over.
HtmlCharset DetectHtmlCharset(std::string_view bytes, std::string_view contentType);

// The page's text: the bytes decoded in the detected encoding, without the byte order mark.
// Invalid byte sequences become U+FFFD, as in a browser; nothing else is changed.
std::wstring DecodeHtmlBytes(std::string_view bytes, std::string_view contentType);

}  // namespace revivix
