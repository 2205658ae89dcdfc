#include "detection/HtmlText.h"

#include <algorithm>

#include "detection/HtmlTokenizer.h"
#include "detection/HtmlTree.h"

namespace revivix {

namespace html {
namespace {

// The rendering: the browsers' innerText steps over the tree.
class Renderer {
 public:
  Renderer(const Document& document, std::size_t sizeHint)
      : document_(document), nodes_(document.nodes) {
    out_.reserve(sizeHint);
  }

  std::wstring Run() {
    Walk(0);
    return std::move(out_);
  }

 private:
  // A line break is asked for by "count" blank-or-not lines; runs of such requests merge into
  // the largest, and none is written before the first or after the last text.
  void RequireBreaks(int count) { pendingBreaks_ = std::max(pendingBreaks_, count); }

  void BeforeText() {
    if (out_.empty()) {
      pendingBreaks_ = 0;
      return;
    }
    for (; pendingBreaks_ > 0; --pendingBreaks_) out_.append(L"\r\n");
  }

  void Put(wchar_t c) {
    if (pendingBreaks_ || out_.empty()) BeforeText();
    if (c == L'\n')
      out_.append(L"\r\n");
    else
      out_.push_back(c);
  }

  // The end of a line: a blank waiting to be written is dropped, and blanks at the start of
  // the next line are too.
  void EndLine() {
    pendingSpace_ = false;
    lineStart_ = true;
  }

  void Content() {
    if (pendingSpace_) Put(L' ');
    pendingSpace_ = false;
    lineStart_ = false;
  }

  void Text(std::wstring_view text) {
    if (preserve_ > 0) {
      for (const wchar_t c : text) Put(c);
      if (!text.empty()) {
        pendingSpace_ = false;
        lineStart_ = text.back() == L'\n';
      }
      return;
    }
    for (const wchar_t c : text) {
      if (IsSpace(c)) {
        if (!lineStart_) pendingSpace_ = true;
      } else {
        Content();
        Put(c);
      }
    }
  }

  bool Rendered(const Node& node) const {
    return node.isText || !(node.hidden || (node.flags & kNone));
  }

  int LastRenderedChild(int parent, bool (*wanted)(const Node&)) const {
    int found = -1;
    for (int c = nodes_[parent].first; c >= 0; c = nodes_[c].next)
      if (!nodes_[c].isText && Rendered(nodes_[c]) && wanted(nodes_[c])) found = c;
    return found;
  }

  static bool IsCell(const Node& node) { return node.tag == kTd || node.tag == kTh; }
  static bool IsRow(const Node& node) { return node.tag == kTr; }
  static bool IsRowGroup(const Node& node) {
    return node.tag == kTbody || node.tag == kThead || node.tag == kTfoot;
  }

  int LastRowOf(int table) const {
    int last = -1;
    for (int c = nodes_[table].first; c >= 0; c = nodes_[c].next) {
      const Node& child = nodes_[c];
      if (child.isText || !Rendered(child)) continue;
      if (IsRow(child)) last = c;
      if (IsRowGroup(child)) {
        const int row = LastRenderedChild(c, IsRow);
        if (row >= 0) last = row;
      }
    }
    return last;
  }

  void Walk(int index) {
    const Node& node = nodes_[index];
    if (node.isText) {
      Text(document_.TextOf(node));
      return;
    }
    if (!Rendered(node)) return;
    if (node.tag == kBr) {
      EndLine();
      Put(L'\n');
      return;
    }
    if (node.flags & kAtomic) {
      Content();
      return;
    }
    if (node.tag == kSelect) {
      // A list box sits on the line like an image, its options on lines of their own.
      Content();
      ++select_;
      for (int c = node.first; c >= 0; c = nodes_[c].next) Walk(c);
      --select_;
      pendingSpace_ = false;
      lineStart_ = false;
      return;
    }
    const bool option = select_ > 0 && node.tag == kOption;
    const int breaks = node.tag == kP ? 2 : ((node.flags & kBlock) || option) ? 1 : 0;
    if (breaks) {
      EndLine();
      RequireBreaks(breaks);
    }
    const bool cell = IsCell(node), row = IsRow(node);
    if (cell || row) EndLine();
    const int savedLastRow = lastRow_, savedLastCell = lastCell_;
    if (node.tag == kTable) lastRow_ = LastRowOf(index);
    if (row) lastCell_ = LastRenderedChild(index, IsCell);
    if (node.flags & kPreserve) ++preserve_;
    for (int c = node.first; c >= 0; c = nodes_[c].next) Walk(c);
    if (node.flags & kPreserve) --preserve_;
    if (node.tag == kTable) lastRow_ = savedLastRow;
    if (row) lastCell_ = savedLastCell;
    if (cell) {
      EndLine();
      if (index != lastCell_) Put(L'\t');
    }
    if (row) {
      EndLine();
      if (index != lastRow_) Put(L'\n');
    }
    if (breaks) {
      EndLine();
      RequireBreaks(breaks);
    }
  }

  const Document& document_;
  const NodeList& nodes_;
  std::wstring out_;
  int pendingBreaks_ = 0;
  bool pendingSpace_ = false;
  bool lineStart_ = true;
  int preserve_ = 0;
  int select_ = 0;
  int lastRow_ = -1, lastCell_ = -1;
};

// A browser reads CR LF and a lone CR as LF before anything else.
std::wstring NormaliseNewlines(std::wstring_view html) {
  std::wstring out;
  out.reserve(html.size());
  for (std::size_t i = 0; i < html.size(); ++i) {
    if (html[i] == L'\r') {
      out.push_back(L'\n');
      if (i + 1 < html.size() && html[i + 1] == L'\n') ++i;
    } else {
      out.push_back(html[i]);
    }
  }
  return out;
}

}  // namespace
}  // namespace html

std::wstring RenderInnerText(std::wstring_view html) {
  using namespace html;
  Document document;
  {
    // The page is copied only where it has CR characters, and the copy is gone before the
    // rendering, which keeps the peak memory of a large page low.
    const bool hasCr = html.find(L'\r') != std::wstring_view::npos;
    const std::wstring normalised = hasCr ? NormaliseNewlines(html) : std::wstring();
    const std::wstring_view text = hasCr ? std::wstring_view(normalised) : html;
    TreeBuilder builder(document, text.size());
    Tokenize(text, builder);
  }
  return Renderer(document, html.size()).Run();
}

}  // namespace revivix