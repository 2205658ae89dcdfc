// The document tree of a web page, built as a browser's parser builds it, as far as the tree
// changes the rendered text: the elements with their implied end tags, the table fix-ups (parts
// opened for a misplaced cell or row, content moved before the table) and the text between
// them. The tokenizer feeds a TreeBuilder; the renderer walks the nodes it leaves behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace revivix::html {

// Elements the reading and the rendering treat in a way of their own.

enum Tag : int {
  kOther,  // any element without a rule of its own (span, b, font, unknown names, ...)
  kHtml,
  kHead,
  kBody,
  kFrameset,
  kTitle,
  kScript,
  kStyle,
  kTemplate,
  kNoscript,
  kNoembed,
  kNoframes,
  kIframe,
  kXmp,
  kPlaintext,
  kTextarea,
  kPre,
  kListing,
  kP,
  kBr,
  kHr,
  kImg,
  kImage,
  kInput,
  kTable,
  kCaption,
  kColgroup,
  kCol,
  kTbody,
  kThead,
  kTfoot,
  kTr,
  kTd,
  kTh,
  kLi,
  kDd,
  kDt,
  kH1,
  kH2,
  kH3,
  kH4,
  kH5,
  kH6,
  kOption,
  kSelect,
  kButton,
  kOl,
  kUl,
  kDiv,
  kAddress,
  kKnownCount
};

enum Flag : unsigned {
  kBlock = 1u << 0,       // stands on lines of its own
  kNone = 1u << 1,        // not rendered, nor anything inside it
  kAtomic = 1u << 2,      // a box of its own on the line, but none of its content is text
  kVoid = 1u << 3,        // has no content and no end tag
  kRawText = 1u << 4,     // its content is text up to its own end tag
  kPreserve = 1u << 5,    // white space inside it is kept
  kClosesP = 1u << 6,     // its start tag ends an open p
  kSpecial = 1u << 7,     // an end tag of an inline element does not close across it
  kScope = 1u << 8,       // end tags inside it do not reach elements outside it
  kFormatting = 1u << 9,  // b, i, font, ...: its end tag never closes a block opened inside it
  kHeading = 1u << 10,
  kTableContext = 1u << 11,  // table, tbody, thead, tfoot, tr: text and elements go before it
  kShell = 1u << 12,         // html, head, body, frameset: the document has one of each
  kTablePart = 1u << 13,     // table, caption, row groups, rows and cells
};

struct TagInfo {
  int tag;
  unsigned flags;
};

// The rule of an element name (lower case); nullptr for a name without a rule of its own.
const TagInfo* FindTagInfo(const std::wstring& name);

// The white space of HTML.
inline bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\f' || c == L'\r';
}

struct Node {
  std::uint16_t flags = 0;  // Flag
  std::uint8_t tag = kOther;
  bool isText : 1 = false;
  bool hidden : 1 = false;  // the hidden attribute, or an input of type hidden
  int parent = -1, first = -1, last = -1, prev = -1, next = -1;
  std::uint32_t textStart = 0, textLength = 0;  // a text node's text in Document::texts
};

// The nodes of a document, numbered from 0 (the document element). They are kept in blocks,
// so a growing document never copies them: a page of 8 MiB can have millions.
class NodeList {
 public:
  int Add() {
    if ((size_ & (kBlockSize - 1)) == 0) blocks_.push_back(std::make_unique<Node[]>(kBlockSize));
    return size_++;
  }
  Node& operator[](int index) { return blocks_[index >> kBlockShift][index & (kBlockSize - 1)]; }
  const Node& operator[](int index) const {
    return blocks_[index >> kBlockShift][index & (kBlockSize - 1)];
  }

 private:
  static constexpr int kBlockShift = 14;
  static constexpr int kBlockSize = 1 << kBlockShift;
  std::vector<std::unique_ptr<Node[]>> blocks_;
  int size_ = 0;
};

struct Document {
  NodeList nodes;
  std::wstring texts;  // the text of every text node, one after the other

  std::wstring_view TextOf(const Node& node) const {
    return std::wstring_view(texts).substr(node.textStart, node.textLength);
  }
};

// Browsers stop nesting elements at some depth; so does this reader.
constexpr std::size_t kMaxDepth = 512;

// Builds the tree into `document`; node 0 is the document element. Every question about the
// open elements (is a p open, and is it in scope? where is the nearest table, cell or block?)
// is answered in constant time from what each open element records about those below it, so
// a page costs time in proportion to its length however its elements nest.
class TreeBuilder {
 public:
  // `textCapacity`: the length of the page, which the text of its text nodes cannot exceed.
  TreeBuilder(Document& document, std::size_t textCapacity);

  void SetQuirks(bool quirks) { quirks_ = quirks; }
  bool Started() const { return started_; }

  // Returns the tag of the element that was opened (for the tokenizer's raw-text rules).
  int StartTag(const std::wstring& name, bool hiddenAttribute, bool inputHidden);
  void EndTag(const std::wstring& name);
  void Text(std::wstring_view text);

  int CurrentTag() const { return nodes_[Current()].tag; }

 private:
  struct Place {
    int parent;
    int before;  // -1: at the end
  };

  // Where the open elements with one name stand among the open elements, lowest first.
  using Positions = std::vector<int>;

  // One open element and, for each kind of element that ends a search, the position of the
  // nearest one at or below it (-1: none).
  struct OpenElement {
    int node;
    Positions* positions;
    const std::wstring* otherName;  // the key of `positions` for a name without a rule
    int scope, listScope, tableScope, special, itemBoundary, tablePart, templ, heading;
  };

  int Current() const { return open_.back().node; }
  bool IsTableContext(int node) const { return (nodes_[node].flags & kTableContext) != 0; }
  Positions* OpenPositions(int tag, const std::wstring& name);
  static int Highest(const Positions* positions);
  bool InScope(int tag, unsigned boundaries);
  int Boundary(unsigned boundaries) const;
  void ClosePInButtonScope();
  void Pop();
  void PopUntil(int tag);
  void PopUntilIndex(std::size_t index);
  void Push(int node, const std::wstring& name);
  void TableStructureStart(int tag, const TagInfo& info, bool hidden);
  Place InsertionBeforeTable() const;
  int Insert(const TagInfo& info, bool hidden, bool opens);
  void Attach(Place place, int node);
  void AppendText(Place place, std::wstring_view text);

  Document& document_;
  NodeList& nodes_;
  std::vector<OpenElement> open_;
  std::vector<Positions> knownOpen_;                       // by tag
  std::unordered_map<std::wstring, Positions> otherOpen_;  // by name, only while open
  bool quirks_ = false;
  bool started_ = false;
  bool dropNewline_ = false;
};

}  // namespace revivix::html
