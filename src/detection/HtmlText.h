// The rendered text of a web page, as a browser gives it for the page's document element
// (`document.documentElement.innerText`), with CR LF line breaks. The wizard reads the player
// database from this text, so what a browser shows as separate lines must arrive here as
// separate lines:
//  - the markup is read as a browser reads it, malformed or not: implied end tags of p, li, dd,
//    dt, table cells and rows, character references (named, decimal, hexadecimal), comments,
//    any letter case of tags and attributes, and a document of any shape in linear time;
//  - what a browser does not show gives no text: head, title, script, style, template,
//    noscript, elements with the hidden attribute, and the like;
//  - white space collapses to single blanks across inline elements and is dropped at the start
//    and end of lines, except inside pre (and listing, xmp, plaintext), where it is kept;
//  - br breaks the line; a block element (div, headings, lists, list items, table, hr, ...)
//    stands on lines of its own; a p element has a blank line before and after it; table cells
//    are separated by a tab and table rows stand on lines of their own.
// Styles are not applied: a page that hides or shows text only by CSS renders as without it.
#pragma once

#include <string>
#include <string_view>

namespace revivix {

// `html` is the page's decoded text (see DecodeHtmlBytes). The result uses "\r\n" for every
// line break; a non-breaking space stays U+00A0.
std::wstring RenderInnerText(std::wstring_view html);

}  // namespace revivix
