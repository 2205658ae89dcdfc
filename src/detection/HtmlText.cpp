#include "detection/HtmlText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace revivix {

namespace {

// ---------------------------------------------------------------------------------------------
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

const std::unordered_map<std::wstring, TagInfo>& TagTable() {
  constexpr unsigned kBlockP = kBlock | kClosesP | kSpecial;
  static const std::unordered_map<std::wstring, TagInfo> table = {
      {L"html", {kHtml, kBlock | kSpecial | kScope}},
      {L"head", {kHead, kNone | kSpecial}},
      {L"body", {kBody, kBlock | kSpecial}},
      {L"frameset", {kFrameset, kNone | kSpecial}},
      {L"title", {kTitle, kNone | kRawText | kSpecial}},
      {L"script", {kScript, kNone | kRawText | kSpecial}},
      {L"style", {kStyle, kNone | kRawText | kSpecial}},
      {L"template", {kTemplate, kNone | kSpecial | kScope}},
      {L"noscript", {kNoscript, kNone | kRawText | kSpecial}},
      {L"noembed", {kNoembed, kNone | kRawText | kSpecial}},
      {L"noframes", {kNoframes, kNone | kRawText | kSpecial}},
      {L"iframe", {kIframe, kAtomic | kRawText | kSpecial}},
      {L"xmp", {kXmp, kBlockP | kRawText | kPreserve}},
      {L"plaintext", {kPlaintext, kBlockP | kPreserve}},
      {L"textarea", {kTextarea, kAtomic | kRawText | kSpecial}},
      {L"pre", {kPre, kBlockP | kPreserve}},
      {L"listing", {kListing, kBlockP | kPreserve}},
      {L"p", {kP, kBlockP}},
      {L"br", {kBr, kVoid | kSpecial}},
      {L"hr", {kHr, kBlockP | kVoid}},
      {L"img", {kImg, kAtomic | kVoid | kSpecial}},
      {L"image", {kImage, kAtomic | kVoid | kSpecial}},
      {L"input", {kInput, kAtomic | kVoid | kSpecial}},
      {L"table", {kTable, kBlock | kSpecial | kScope | kTableContext}},
      {L"caption", {kCaption, kBlock | kSpecial | kScope}},
      {L"colgroup", {kColgroup, kNone | kSpecial}},
      {L"col", {kCol, kNone | kVoid | kSpecial}},
      {L"tbody", {kTbody, kSpecial | kTableContext}},
      {L"thead", {kThead, kSpecial | kTableContext}},
      {L"tfoot", {kTfoot, kSpecial | kTableContext}},
      {L"tr", {kTr, kSpecial | kTableContext}},
      {L"td", {kTd, kSpecial | kScope}},
      {L"th", {kTh, kSpecial | kScope}},
      {L"li", {kLi, kBlockP}},
      {L"dd", {kDd, kBlockP}},
      {L"dt", {kDt, kBlockP}},
      {L"h1", {kH1, kBlockP | kHeading}},
      {L"h2", {kH2, kBlockP | kHeading}},
      {L"h3", {kH3, kBlockP | kHeading}},
      {L"h4", {kH4, kBlockP | kHeading}},
      {L"h5", {kH5, kBlockP | kHeading}},
      {L"h6", {kH6, kBlockP | kHeading}},
      {L"option", {kOption, 0}},
      {L"select", {kSelect, kSpecial}},
      {L"dialog", {kOther, kNone | kClosesP | kSpecial}},
      {L"button", {kButton, kSpecial | kScope}},
      // Block elements without a rule of their own.
      {L"address", {kAddress, kBlockP}},
      {L"article", {kOther, kBlockP}},
      {L"aside", {kOther, kBlockP}},
      {L"blockquote", {kOther, kBlockP}},
      {L"center", {kOther, kBlockP}},
      {L"details", {kOther, kBlockP}},
      {L"dir", {kOther, kBlockP}},
      {L"div", {kDiv, kBlockP}},
      {L"dl", {kOther, kBlockP}},
      {L"fieldset", {kOther, kBlockP}},
      {L"figcaption", {kOther, kBlockP}},
      {L"figure", {kOther, kBlockP}},
      {L"footer", {kOther, kBlockP}},
      {L"form", {kOther, kBlockP}},
      {L"header", {kOther, kBlockP}},
      {L"hgroup", {kOther, kBlockP}},
      {L"legend", {kOther, kBlock}},
      {L"main", {kOther, kBlockP}},
      {L"menu", {kOther, kBlockP}},
      {L"nav", {kOther, kBlockP}},
      {L"ol", {kOl, kBlockP}},
      {L"search", {kOther, kBlockP}},
      {L"section", {kOther, kBlockP}},
      {L"summary", {kOther, kBlockP}},
      {L"ul", {kUl, kBlockP}},
      // Not rendered.
      {L"base", {kOther, kNone | kVoid | kSpecial}},
      {L"basefont", {kOther, kNone | kVoid | kSpecial}},
      {L"bgsound", {kOther, kNone | kVoid | kSpecial}},
      {L"link", {kOther, kNone | kVoid | kSpecial}},
      {L"meta", {kOther, kNone | kVoid | kSpecial}},
      {L"param", {kOther, kNone | kVoid | kSpecial}},
      {L"source", {kOther, kNone | kVoid | kSpecial}},
      {L"track", {kOther, kNone | kVoid | kSpecial}},
      {L"area", {kOther, kNone | kVoid | kSpecial}},
      {L"datalist", {kOther, kNone}},
      {L"rp", {kOther, kNone}},
      {L"frame", {kOther, kNone | kVoid | kSpecial}},
      // Replaced elements: a box on the line without text.
      {L"embed", {kOther, kAtomic | kVoid | kSpecial}},
      {L"keygen", {kOther, kAtomic | kVoid | kSpecial}},
      {L"wbr", {kOther, kVoid | kSpecial}},
      {L"video", {kOther, kAtomic}},
      {L"canvas", {kOther, kAtomic}},
      {L"meter", {kOther, kAtomic}},
      {L"progress", {kOther, kAtomic}},
      {L"applet", {kOther, kSpecial | kScope}},
      {L"marquee", {kOther, kSpecial | kScope}},
      {L"object", {kOther, kSpecial | kScope}},
      // Formatting elements.
      {L"a", {kOther, kFormatting}},
      {L"b", {kOther, kFormatting}},
      {L"big", {kOther, kFormatting}},
      {L"code", {kOther, kFormatting}},
      {L"em", {kOther, kFormatting}},
      {L"font", {kOther, kFormatting}},
      {L"i", {kOther, kFormatting}},
      {L"nobr", {kOther, kFormatting}},
      {L"s", {kOther, kFormatting}},
      {L"small", {kOther, kFormatting}},
      {L"strike", {kOther, kFormatting}},
      {L"strong", {kOther, kFormatting}},
      {L"tt", {kOther, kFormatting}},
      {L"u", {kOther, kFormatting}},
  };
  return table;
}

// ---------------------------------------------------------------------------------------------
// Character references.

struct Entity {
  const char* name;
  std::uint32_t first;
  std::uint32_t second;
};

constexpr Entity kEntities[] = {
#include "detection/HtmlEntities.inc"
};

constexpr std::size_t kLongestEntityName = 32;

// windows-1252 meanings of numeric references 0x80-0x9F, as browsers read them.
constexpr std::uint16_t kC1Replacements[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

void AppendCodePoint(std::wstring& out, std::uint32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp > 0xFFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

bool IsAsciiAlpha(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool IsAsciiDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}
bool IsAsciiAlnum(wchar_t c) {
  return IsAsciiAlpha(c) || IsAsciiDigit(c);
}
bool IsHexDigit(wchar_t c) {
  return IsAsciiDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}
bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\f' || c == L'\r';
}
wchar_t AsciiLower(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

const Entity* FindEntity(std::string_view name) {
  const Entity* end = kEntities + std::size(kEntities);
  const Entity* it = std::lower_bound(
      kEntities, end, name, [](const Entity& e, std::string_view n) { return e.name < n; });
  return (it != end && it->name == name) ? it : nullptr;
}

// Reads the character reference that starts at text[at] == '&'. On success appends its
// characters and returns the position after it; otherwise returns `at` unchanged.
std::size_t ReadCharacterReference(std::wstring_view text, std::size_t at, std::wstring& out) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == L'#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == L'x' || text[i] == L'X');
    if (hex) ++i;
    const std::size_t digits = i;
    std::uint32_t value = 0;
    while (i < text.size() && (hex ? IsHexDigit(text[i]) : IsAsciiDigit(text[i]))) {
      const wchar_t c = text[i];
      const std::uint32_t digit = IsAsciiDigit(c)
                                      ? static_cast<std::uint32_t>(c - L'0')
                                      : static_cast<std::uint32_t>(AsciiLower(c) - L'a' + 10);
      value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
      ++i;
    }
    if (i == digits) return at;  // "&#" or "&#x" without digits stays as it is
    if (i < text.size() && text[i] == L';') ++i;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
      value = 0xFFFD;
    else if (value >= 0x80 && value <= 0x9F)
      value = kC1Replacements[value - 0x80];
    AppendCodePoint(out, value);
    return i;
  }
  // The longest name in the table that the text starts with, with or without its semicolon.
  char name[kLongestEntityName + 2];
  std::size_t length = 0;
  while (length < kLongestEntityName && i + length < text.size() &&
         IsAsciiAlnum(text[i + length])) {
    name[length] = static_cast<char>(text[i + length]);
    ++length;
  }
  for (std::size_t k = length; k > 0; --k) {
    if (i + k < text.size() && text[i + k] == L';') {
      name[k] = ';';
      if (const Entity* e = FindEntity(std::string_view(name, k + 1))) {
        AppendCodePoint(out, e->first);
        if (e->second) AppendCodePoint(out, e->second);
        return i + k + 1;
      }
    }
    if (const Entity* e = FindEntity(std::string_view(name, k))) {
      AppendCodePoint(out, e->first);
      if (e->second) AppendCodePoint(out, e->second);
      return i + k;
    }
  }
  return at;
}

// ---------------------------------------------------------------------------------------------
// The document tree, built as a browser's parser builds it (the parts that change the text).

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

class TreeBuilder {
 public:
  explicit TreeBuilder(std::vector<Node>& nodes) : nodes_(nodes) {
    nodes_.push_back(Node{});
    nodes_[0].tag = kHtml;
    nodes_[0].flags = TagTable().at(L"html").flags;
    open_.push_back(0);
  }

  void SetQuirks(bool quirks) { quirks_ = quirks; }
  bool Started() const { return started_; }

  // Returns the tag of the element that was opened (for the tokenizer's raw-text rules).
  int StartTag(const std::wstring& name, bool hiddenAttribute, bool inputHidden) {
    started_ = true;
    dropNewline_ = false;
    const TagInfo info = Lookup(name);
    const int tag = info.tag;
    switch (tag) {
      case kHtml:
      case kHead:
      case kBody:
      case kFrameset:
        return tag;
      case kCaption:
      case kColgroup:
      case kCol:
      case kTbody:
      case kThead:
      case kTfoot:
      case kTr:
      case kTd:
      case kTh:
        TableStructureStart(tag, info, hiddenAttribute);
        return tag;
      case kTable:
        if (IsTableContext(Current())) {
          PopUntil(kTable);
        } else if (!quirks_ && InScope(kP, kScope)) {
          PopUntil(kP);
        }
        break;
      case kLi:
      case kDd:
      case kDt:
        for (std::size_t k = open_.size(); k-- > 1;) {
          const Node& node = nodes_[open_[k]];
          const bool match = tag == kLi ? node.tag == kLi : (node.tag == kDd || node.tag == kDt);
          if (match) {
            PopUntilIndex(k);
            break;
          }
          if ((node.flags & kSpecial) && !IsAddressDivOrP(node)) break;
        }
        ClosePInButtonScope();
        break;
      case kOption:
        if (nodes_[Current()].tag == kOption) Pop();
        break;
      case kButton:
        if (InScope(kButton, kScope)) PopUntil(kButton);
        break;
      default:
        if (info.flags & kClosesP) ClosePInButtonScope();
        if ((info.flags & kHeading) && (nodes_[Current()].flags & kHeading)) Pop();
        break;
    }
    const int node = Insert(info, hiddenAttribute || (tag == kInput && inputHidden));
    if (!(info.flags & kVoid)) Push(node);
    if (tag == kPre || tag == kListing || tag == kTextarea) dropNewline_ = true;
    return tag;
  }

  void EndTag(const std::wstring& name) {
    dropNewline_ = false;
    const TagInfo info = Lookup(name);
    const int tag = info.tag;
    switch (tag) {
      case kHtml:
      case kHead:
      case kBody:
      case kFrameset:
        return;
      case kBr:
        StartTag(name, false, false);
        return;
      case kP:
        if (InScope(kP, kScope)) {
          PopUntil(kP);
        } else {
          Insert(info, false);  // a lone </p> stands for an empty paragraph
        }
        return;
      case kLi:
        if (InScope(kLi, kScope | kListScope)) PopUntil(kLi);
        return;
      case kH1:
      case kH2:
      case kH3:
      case kH4:
      case kH5:
      case kH6:
        for (std::size_t k = open_.size(); k-- > 1;) {
          const Node& node = nodes_[open_[k]];
          if (node.flags & kHeading) {
            PopUntilIndex(k);
            return;
          }
          if (node.flags & kScope) return;
        }
        return;
      case kTable:
      case kCaption:
      case kTbody:
      case kThead:
      case kTfoot:
      case kTr:
      case kTd:
      case kTh:
        if (InScope(tag, kTableScope)) PopUntil(tag);
        return;
      default:
        break;
    }
    if (info.flags & (kBlock | kScope)) {
      // Block-like elements close whatever is still open inside them.
      if (InScope(tag, kScope)) PopUntil(tag);
      return;
    }
    // Any other element: the nearest open one of that name, unless a block lies in between.
    for (std::size_t k = open_.size(); k-- > 1;) {
      const Node& node = nodes_[open_[k]];
      if (node.tag == tag) {
        PopUntilIndex(k);
        return;
      }
      if (node.flags & kSpecial) return;
    }
  }

  void Text(std::wstring_view text) {
    if (dropNewline_ && !text.empty() && text.front() == L'\n') text.remove_prefix(1);
    dropNewline_ = false;
    if (text.empty()) return;
    if (IsTableContext(Current())) {
      // Text among a table's rows: white space is not rendered, anything else goes before it.
      if (std::all_of(text.begin(), text.end(), IsSpace)) return;
      started_ = true;
      AppendText(InsertionBeforeTable(), text);
      return;
    }
    if (!started_ && std::all_of(text.begin(), text.end(), IsSpace)) return;
    started_ = true;
    AppendText({Current(), -1}, text);
  }

  int CurrentTag() const { return nodes_[Current()].tag; }

 private:
  // Which open elements end a search for an open element ("scope").
  static constexpr unsigned kListScope = 1u << 21;   // also ol and ul
  static constexpr unsigned kTableScope = 1u << 22;  // only table

  struct Place {
    int parent;
    int before;  // -1: at the end
  };

  TagInfo Lookup(const std::wstring& name) {
    const auto& table = TagTable();
    const auto known = table.find(name);
    if (known != table.end()) {
      TagInfo info = known->second;
      if (info.tag == kOther) info.tag = OtherId(name);
      return info;
    }
    return TagInfo{OtherId(name), 0};
  }

  // Elements without a rule of their own get a number per name, so end tags find them.
  int OtherId(const std::wstring& name) {
    const auto found = otherIds_.find(name);
    if (found != otherIds_.end()) return found->second;
    const int id = kKnownCount + static_cast<int>(otherIds_.size());
    otherIds_.emplace(name, id);
    return id;
  }

  static bool IsAddressDivOrP(const Node& node) {
    return node.tag == kP || node.tag == kDiv || node.tag == kAddress;
  }

  int Current() const { return open_.back(); }
  bool IsTableContext(int node) const { return (nodes_[node].flags & kTableContext) != 0; }

  bool InScope(int tag, unsigned boundaries) const {
    for (std::size_t k = open_.size(); k-- > 0;) {
      const Node& node = nodes_[open_[k]];
      if (node.tag == tag) return true;
      if (Boundary(node, boundaries)) return false;
    }
    return false;
  }

  static bool Boundary(const Node& node, unsigned boundaries) {
    if (node.tag == kHtml || node.tag == kTemplate) return true;
    if (boundaries & kTableScope) return node.tag == kTable;
    if (node.flags & kScope) return true;
    return (boundaries & kListScope) && (node.tag == kOl || node.tag == kUl);
  }

  void ClosePInButtonScope() {
    if (InScope(kP, kScope)) PopUntil(kP);
  }

  void Pop() {
    if (open_.size() > 1) open_.pop_back();
  }
  void PopUntil(int tag) {
    while (open_.size() > 1) {
      const int tagOfTop = nodes_[open_.back()].tag;
      open_.pop_back();
      if (tagOfTop == tag) return;
    }
  }
  void PopUntilIndex(std::size_t index) { open_.resize(std::max<std::size_t>(index, 1)); }
  void Push(int node) {
    if (open_.size() < kMaxDepth) open_.push_back(node);
  }

  // Start tags of a table's parts: they only count inside a table, and they close the parts
  // they cannot be nested in, adding the implied row group and row.
  void TableStructureStart(int tag, const TagInfo& info, bool hidden) {
    std::size_t k = open_.size();
    while (k-- > 1) {
      const Node& node = nodes_[open_[k]];
      if (node.tag == kTable || node.tag == kTbody || node.tag == kThead || node.tag == kTfoot ||
          node.tag == kTr || node.tag == kTd || node.tag == kTh || node.tag == kCaption)
        break;
      if (node.tag == kTemplate) return;
    }
    if (k == 0) return;  // not inside a table: the tag is ignored
    // Inside a cell or caption, a new part closes it first.
    const int found = nodes_[open_[k]].tag;
    if (found == kTd || found == kTh || found == kCaption) {
      if ((tag == kTd || tag == kTh || tag == kTr || tag == kTbody || tag == kThead ||
           tag == kTfoot || tag == kCaption || tag == kCol || tag == kColgroup)) {
        PopUntilIndex(k);
        TableStructureStart(tag, info, hidden);
      }
      return;
    }
    PopUntilIndex(k + 1);
    const TagInfo& tbody = TagTable().at(L"tbody");
    const TagInfo& tr = TagTable().at(L"tr");
    switch (tag) {
      case kCaption:
      case kColgroup:
      case kCol:
      case kTbody:
      case kThead:
      case kTfoot:
        while (nodes_[Current()].tag != kTable) Pop();
        break;
      case kTr:
        if (nodes_[Current()].tag == kTr) Pop();
        if (nodes_[Current()].tag == kTable) Push(Insert(tbody, false));
        break;
      default:  // td, th
        if (nodes_[Current()].tag == kTable) Push(Insert(tbody, false));
        if (nodes_[Current()].tag != kTr) Push(Insert(tr, false));
        break;
    }
    if (!IsTableContext(Current())) return;  // the implied parts could not be opened
    const int node = Insert(info, hidden);
    if (!(info.flags & kVoid)) Push(node);
  }

  // Where content goes that is misplaced among a table's rows: just before the table.
  Place InsertionBeforeTable() const {
    for (std::size_t k = open_.size(); k-- > 0;) {
      const int node = open_[k];
      if (nodes_[node].tag == kTable && nodes_[node].parent >= 0)
        return {nodes_[node].parent, node};
    }
    return {Current(), -1};
  }

  int Insert(const TagInfo& info, bool hidden) {
    const bool foster = IsTableContext(Current()) && !(info.flags & kTableContext) &&
                        info.tag != kTd && info.tag != kTh && info.tag != kCaption &&
                        info.tag != kColgroup && info.tag != kCol;
    const int node = NewNode();
    nodes_[node].tag = info.tag;
    nodes_[node].flags = info.flags;
    nodes_[node].hidden = hidden;
    Attach(foster ? InsertionBeforeTable() : Place{Current(), -1}, node);
    return node;
  }

  int NewNode() {
    nodes_.emplace_back();
    return static_cast<int>(nodes_.size() - 1);
  }

  void Attach(Place place, int node) {
    Node& n = nodes_[node];
    Node& parent = nodes_[place.parent];
    n.parent = place.parent;
    if (place.before < 0) {
      n.prev = parent.last;
      if (parent.last >= 0) nodes_[parent.last].next = node;
      if (parent.first < 0) parent.first = node;
      nodes_[place.parent].last = node;
    } else {
      Node& before = nodes_[place.before];
      n.next = place.before;
      n.prev = before.prev;
      if (before.prev >= 0)
        nodes_[before.prev].next = node;
      else
        parent.first = node;
      before.prev = node;
    }
  }

  void AppendText(Place place, std::wstring_view text) {
    const int previous = place.before < 0 ? nodes_[place.parent].last : nodes_[place.before].prev;
    if (previous >= 0 && nodes_[previous].isText) {
      nodes_[previous].text.append(text);
      return;
    }
    const int node = NewNode();
    nodes_[node].isText = true;
    nodes_[node].text.assign(text);
    Attach(place, node);
  }

  std::vector<Node>& nodes_;
  std::vector<int> open_;
  std::unordered_map<std::wstring, int> otherIds_;
  bool quirks_ = false;
  bool started_ = false;
  bool dropNewline_ = false;
};

// ---------------------------------------------------------------------------------------------
// The tokenizer: text, tags, comments and the doctype, fed to the tree builder.

bool StartsWithNoCase(std::wstring_view text, std::size_t at, std::wstring_view lowerPrefix) {
  if (at > text.size() || text.size() - at < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
    if (AsciiLower(text[at + i]) != lowerPrefix[i]) return false;
  return true;
}

// Whether a page with this doctype (the text between "<!" and ">") is read in quirks mode, in
// which, among other things, a table does not end an open paragraph.
bool IsQuirksDoctype(std::wstring_view doctype) {
  std::size_t i = 7;  // after "doctype"
  while (i < doctype.size() && IsSpace(doctype[i])) ++i;
  std::wstring name;
  while (i < doctype.size() && !IsSpace(doctype[i])) name.push_back(AsciiLower(doctype[i++]));
  if (name != L"html") return true;
  std::wstring_view rest = doctype.substr(i);
  const auto quoted = [&](std::wstring_view keyword, std::wstring& value) {
    std::size_t at = 0;
    for (; at + keyword.size() <= rest.size(); ++at)
      if (StartsWithNoCase(rest, at, keyword)) break;
    if (at + keyword.size() > rest.size()) return false;
    std::size_t q = at + keyword.size();
    while (q < rest.size() && IsSpace(rest[q])) ++q;
    if (q >= rest.size() || (rest[q] != L'"' && rest[q] != L'\'')) return false;
    const std::size_t close = rest.find(rest[q], q + 1);
    if (close == std::wstring_view::npos) return false;
    value.clear();
    for (std::size_t c = q + 1; c < close; ++c) value.push_back(AsciiLower(rest[c]));
    rest = rest.substr(close + 1);
    return true;
  };
  std::wstring publicId, systemId;
  const bool hasPublic = quoted(L"public", publicId);
  bool hasSystem = false;
  if (hasPublic) {
    while (!rest.empty() && IsSpace(rest.front())) rest.remove_prefix(1);
    if (!rest.empty() && (rest.front() == L'"' || rest.front() == L'\'')) {
      const std::size_t close = rest.find(rest.front(), 1);
      hasSystem = close != std::wstring_view::npos;
    }
  } else {
    hasSystem = quoted(L"system", systemId);
  }
  if (!hasPublic) return false;
  static const wchar_t* const kQuirkPrefixes[] = {L"+//silmaril//",
                                                  L"-//advasoft ltd//",
                                                  L"-//as//",
                                                  L"-//ietf//",
                                                  L"-//metrius//",
                                                  L"-//microsoft//",
                                                  L"-//netscape comm. corp.//",
                                                  L"-//o'reilly and associates//",
                                                  L"-//softquad",
                                                  L"-//spyglass//",
                                                  L"-//sq//",
                                                  L"-//sun microsystems corp.//",
                                                  L"-//w3c//dtd html 2",
                                                  L"-//w3c//dtd html 3",
                                                  L"-//w3c//dtd html 4.0 frameset//",
                                                  L"-//w3c//dtd html 4.0 transitional//",
                                                  L"-//w3c//dtd html experimental",
                                                  L"-//w3c//dtd w3 html//",
                                                  L"-//w3o//",
                                                  L"-//webtechs//"};
  for (const wchar_t* prefix : kQuirkPrefixes)
    if (publicId.rfind(prefix, 0) == 0) return true;
  if (publicId == L"html" || publicId == L"-/w3c/dtd html 4.0 transitional/en") return true;
  if (!hasSystem && (publicId.rfind(L"-//w3c//dtd html 4.01 frameset//", 0) == 0 ||
                     publicId.rfind(L"-//w3c//dtd html 4.01 transitional//", 0) == 0))
    return true;
  return false;
}

class Tokenizer {
 public:
  Tokenizer(std::wstring_view html, TreeBuilder& builder) : in_(html), builder_(builder) {}

  void Run() {
    std::size_t i = 0;
    while (i < in_.size()) {
      const wchar_t c = in_[i];
      if (c == L'&') {
        const std::size_t after = ReadCharacterReference(in_, i, text_);
        if (after == i) {
          text_.push_back(L'&');
          ++i;
        } else {
          i = after;
        }
      } else if (c == L'<') {
        i = Markup(i);
      } else if (c == L'\0') {
        ++i;  // browsers drop NUL characters from text
      } else {
        // A run of plain characters in one step.
        std::size_t end = i + 1;
        while (end < in_.size() && in_[end] != L'&' && in_[end] != L'<' && in_[end] != L'\0') ++end;
        text_.append(in_.substr(i, end - i));
        i = end;
      }
    }
    FlushText();
  }

 private:
  void FlushText() {
    if (text_.empty()) return;
    if (!sawDoctype_) {
      // Anything before a doctype puts the page in quirks mode.
      if (!std::all_of(text_.begin(), text_.end(), IsSpace)) NoDoctype();
    }
    builder_.Text(text_);
    text_.clear();
  }

  void NoDoctype() {
    if (!sawDoctype_) {
      sawDoctype_ = true;
      builder_.SetQuirks(true);
    }
  }

  // Markup at in_[at] == '<'; returns the position after it.
  std::size_t Markup(std::size_t at) {
    const std::size_t n = in_.size();
    const std::size_t next = at + 1;
    if (next < n && in_[next] == L'!') {
      FlushText();
      if (in_.compare(next + 1, 2, L"--") == 0) return Comment(next + 3);
      const std::size_t close = in_.find(L'>', next);
      const std::size_t end = close == std::wstring_view::npos ? n : close;
      if (StartsWithNoCase(in_, next + 1, L"doctype")) {
        if (!sawDoctype_ && !builder_.Started()) {
          sawDoctype_ = true;
          builder_.SetQuirks(IsQuirksDoctype(in_.substr(next + 1, end - next - 1)));
        }
      }
      return close == std::wstring_view::npos ? n : close + 1;
    }
    if (next < n && in_[next] == L'?') {
      FlushText();
      const std::size_t close = in_.find(L'>', next);
      return close == std::wstring_view::npos ? n : close + 1;
    }
    if (next < n && in_[next] == L'/') {
      if (next + 1 < n && IsAsciiAlpha(in_[next + 1])) {
        FlushText();
        return Tag(next + 1, true);
      }
      if (next + 1 < n && in_[next + 1] == L'>') {
        FlushText();
        return next + 2;  // "</>" is dropped
      }
      if (next + 1 >= n) {
        text_.append(L"</");
        return n;
      }
      FlushText();
      const std::size_t close = in_.find(L'>', next);
      return close == std::wstring_view::npos ? n : close + 1;
    }
    if (next < n && IsAsciiAlpha(in_[next])) {
      FlushText();
      return Tag(next, false);
    }
    text_.push_back(L'<');
    return next;
  }

  std::size_t Comment(std::size_t body) {
    const std::size_t n = in_.size();
    if (body < n && in_[body] == L'>') return body + 1;                               // "<!-->"
    if (body + 1 < n && in_[body] == L'-' && in_[body + 1] == L'>') return body + 2;  // "<!--->"
    for (std::size_t i = body; i < n; ++i) {
      if (in_[i] != L'-') continue;
      if (in_.compare(i, 3, L"-->") == 0) return i + 3;
      if (in_.compare(i, 4, L"--!>") == 0) return i + 4;
    }
    return n;
  }

  // A start or end tag whose name starts at `at`.
  std::size_t Tag(std::size_t at, bool end) {
    const std::size_t n = in_.size();
    std::wstring name;
    std::size_t i = at;
    while (i < n && !IsSpace(in_[i]) && in_[i] != L'/' && in_[i] != L'>') {
      const wchar_t c = in_[i++];
      name.push_back(c == L'\0' ? L'\xFFFD' : AsciiLower(c));
    }
    bool hidden = false, typeHidden = false;
    // Attributes: only whether "hidden" is there and whether "type" is "hidden" matter here.
    while (true) {
      while (i < n && (IsSpace(in_[i]) || in_[i] == L'/')) ++i;
      if (i >= n) return n;  // a tag cut off by the end of the page is dropped
      if (in_[i] == L'>') {
        ++i;
        break;
      }
      std::wstring attribute;
      do {
        attribute.push_back(AsciiLower(in_[i]));
        ++i;
      } while (i < n && !IsSpace(in_[i]) && in_[i] != L'/' && in_[i] != L'>' && in_[i] != L'=');
      while (i < n && IsSpace(in_[i])) ++i;
      std::wstring_view value;
      if (i < n && in_[i] == L'=') {
        ++i;
        while (i < n && IsSpace(in_[i])) ++i;
        if (i >= n) return n;
        if (in_[i] == L'"' || in_[i] == L'\'') {
          const std::size_t close = in_.find(in_[i], i + 1);
          if (close == std::wstring_view::npos) return n;
          value = in_.substr(i + 1, close - i - 1);
          i = close + 1;
        } else {
          const std::size_t start = i;
          while (i < n && !IsSpace(in_[i]) && in_[i] != L'>') ++i;
          value = in_.substr(start, i - start);
        }
      }
      if (seenAttributes_.size() > 64) continue;  // only the first of equal names counts
      if (std::find(seenAttributes_.begin(), seenAttributes_.end(), attribute) !=
          seenAttributes_.end())
        continue;
      seenAttributes_.push_back(attribute);
      if (attribute == L"hidden") hidden = true;
      if (attribute == L"type" && value.size() == 6 && StartsWithNoCase(value, 0, L"hidden"))
        typeHidden = true;
    }
    seenAttributes_.clear();
    if (end) {
      builder_.EndTag(name);
      return i;
    }
    if (!sawDoctype_) NoDoctype();
    const int tag = builder_.StartTag(name, hidden, typeHidden);
    const TagInfo* info = nullptr;
    const auto known = TagTable().find(name);
    if (known != TagTable().end()) info = &known->second;
    if (tag == kPlaintext) {
      builder_.Text(in_.substr(i));
      return n;
    }
    if (info && (info->flags & kRawText) && builder_.CurrentTag() == tag) {
      // Raw text up to the element's own end tag; title and textarea also decode references.
      const std::size_t close = FindEndTag(i, name);
      const std::wstring_view raw = in_.substr(i, close - i);
      if (tag == kTitle || tag == kTextarea) {
        std::wstring decoded;
        for (std::size_t k = 0; k < raw.size();) {
          const std::size_t after = raw[k] == L'&' ? ReadCharacterReference(raw, k, decoded) : k;
          if (after == k)
            decoded.push_back(raw[k++]);
          else
            k = after;
        }
        builder_.Text(decoded);
      } else {
        builder_.Text(raw);
      }
      return close;
    }
    return i;
  }

  // The position of "</name" that ends a raw-text element, or the end of the page.
  std::size_t FindEndTag(std::size_t from, const std::wstring& name) const {
    std::size_t i = from;
    while ((i = in_.find(L"</", i)) != std::wstring_view::npos) {
      const std::size_t after = i + 2 + name.size();
      if (StartsWithNoCase(in_, i + 2, name) &&
          (after >= in_.size() || IsSpace(in_[after]) || in_[after] == L'/' || in_[after] == L'>'))
        return i;
      i += 2;
    }
    return in_.size();
  }

  std::wstring_view in_;
  TreeBuilder& builder_;
  std::wstring text_;
  std::vector<std::wstring> seenAttributes_;
  bool sawDoctype_ = false;
};

// ---------------------------------------------------------------------------------------------
// The rendering: the browsers' innerText steps over the tree.

class Renderer {
 public:
  Renderer(const std::vector<Node>& nodes, std::size_t sizeHint) : nodes_(nodes) {
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

  void Text(const std::wstring& text) {
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
      Text(node.text);
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

  const std::vector<Node>& nodes_;
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

std::wstring RenderInnerText(std::wstring_view html) {
  const std::wstring text = NormaliseNewlines(html);
  std::vector<Node> nodes;
  nodes.reserve(text.size() / 8 + 16);
  TreeBuilder builder(nodes);
  Tokenizer(text, builder).Run();
  return Renderer(nodes, text.size()).Run();
}

}  // namespace revivix
