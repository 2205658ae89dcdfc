// The document tree of a web page, built as a browser's parser builds it, as far as the tree
// changes the rendered text: the elements with their implied end tags, the table fix-ups (parts
// opened for a misplaced cell or row, content moved before the table) and the text between
// them. The tokenizer feeds a TreeBuilder; the renderer walks the nodes it leaves behind.
#pragma once

#include <cstddef>
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
  int tag = kOther;    // Tag, or kKnownCount + an index for other names
  unsigned flags = 0;  // Flag
  bool isText = false;
  bool hidden = false;  // the hidden attribute, or an input of type hidden
  int parent = -1, first = -1, last = -1, prev = -1, next = -1;
  std::wstring text;
};

// Browsers stop nesting elements at some depth; so does this reader, which keeps every search
// of the open elements short.
constexpr std::size_t kMaxDepth = 512;

// Builds the tree into `nodes`; node 0 is the document element.
class TreeBuilder {
 public:
  explicit TreeBuilder(std::vector<Node>& nodes);

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

  TagInfo Lookup(const std::wstring& name);
  int OtherId(const std::wstring& name);
  int Current() const { return open_.back(); }
  bool IsTableContext(int node) const { return (nodes_[node].flags & kTableContext) != 0; }
  bool InScope(int tag, unsigned boundaries) const;
  void ClosePInButtonScope();
  void Pop();
  void PopUntil(int tag);
  void PopUntilIndex(std::size_t index);
  void Push(int node);
  void TableStructureStart(int tag, const TagInfo& info, bool hidden);
  Place InsertionBeforeTable() const;
  int Insert(const TagInfo& info, bool hidden);
  int NewNode();
  void Attach(Place place, int node);
  void AppendText(Place place, std::wstring_view text);

  std::vector<Node>& nodes_;
  std::vector<int> open_;
  std::unordered_map<std::wstring, int> otherIds_;
  bool quirks_ = false;
  bool started_ = false;
  bool dropNewline_ = false;
};

}  // namespace revivix::html
