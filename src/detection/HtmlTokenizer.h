// Reads a page's text as a browser's tokenizer does and feeds it to a tree builder: text with
// its character references (named, decimal, hexadecimal), start and end tags with the two
// attributes that hide an element, comments, the doctype (which decides quirks mode), and the
// raw text of script, style, title and the like up to their own end tag.
#pragma once

#include <string_view>

#include "detection/HtmlTree.h"

namespace revivix::html {

// `html` has its line breaks normalised to LF.
void Tokenize(std::wstring_view html, TreeBuilder& builder);

}  // namespace revivix::html
