#include "detection/HtmlTree.h"

#include <algorithm>

namespace revivix::html {

namespace {

// Made once and never destroyed: a page may still be rendering on a worker thread while the
// program ends and the runtime destroys its static objects.
const std::unordered_map<std::wstring, TagInfo>& TagTable() {
  constexpr unsigned kBlockP = kBlock | kClosesP | kSpecial;
  static const auto* const table = new std::unordered_map<std::wstring, TagInfo>{
      {L"html", {kHtml, kShell | kBlock | kSpecial | kScope}},
      {L"head", {kHead, kShell | kNone | kSpecial}},
      {L"body", {kBody, kShell | kBlock | kSpecial}},
      {L"frameset", {kFrameset, kShell | kNone | kSpecial}},
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
      {L"table", {kTable, kTablePart | kBlock | kSpecial | kScope | kTableContext}},
      {L"caption", {kCaption, kTablePart | kBlock | kSpecial | kScope}},
      {L"colgroup", {kColgroup, kNone | kSpecial}},
      {L"col", {kCol, kNone | kVoid | kSpecial}},
      {L"tbody", {kTbody, kTablePart | kSpecial | kTableContext}},
      {L"thead", {kThead, kTablePart | kSpecial | kTableContext}},
      {L"tfoot", {kTfoot, kTablePart | kSpecial | kTableContext}},
      {L"tr", {kTr, kTablePart | kSpecial | kTableContext}},
      {L"td", {kTd, kTablePart | kSpecial | kScope}},
      {L"th", {kTh, kTablePart | kSpecial | kScope}},
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
  return *table;
}

// Which open elements end a search for an open element ("scope").
constexpr unsigned kListScope = 1u << 21;   // also ol and ul
constexpr unsigned kTableScope = 1u << 22;  // only table

bool IsAddressDivOrP(const Node& node) {
  return node.tag == kP || node.tag == kDiv || node.tag == kAddress;
}

// Elements without a rule of their own.
TagInfo Lookup(const std::wstring& name) {
  const TagInfo* info = FindTagInfo(name);
  return info ? *info : TagInfo{kOther, 0};
}

}  // namespace

const TagInfo* FindTagInfo(const std::wstring& name) {
  const auto known = TagTable().find(name);
  return known == TagTable().end() ? nullptr : &known->second;
}

TreeBuilder::TreeBuilder(Document& document, std::size_t textCapacity)
    : document_(document), nodes_(document.nodes), knownOpen_(kKnownCount) {
  document_.texts.reserve(textCapacity);
  const int root = nodes_.Add();
  nodes_[root].tag = kHtml;
  nodes_[root].flags = static_cast<std::uint16_t>(TagTable().at(L"html").flags);
  Push(root, L"html");
}

int TreeBuilder::StartTag(const std::wstring& name, bool hiddenAttribute, bool inputHidden) {
  started_ = true;
  dropNewline_ = false;
  const TagInfo info = Lookup(name);
  const int tag = info.tag;
  if (info.flags & kShell) return tag;
  if (((info.flags & kTablePart) && tag != kTable) || tag == kColgroup || tag == kCol) {
    TableStructureStart(tag, info, hiddenAttribute);
    return tag;
  }
  switch (tag) {
    case kTable:
      if (IsTableContext(Current())) {
        PopUntil(kTable);
      } else if (!quirks_) {
        ClosePInButtonScope();
      }
      break;
    case kLi:
    case kDd:
    case kDt: {
      // The nearest open list item of the same kind closes, unless a block other than address,
      // div and p lies in between (list items are such blocks themselves).
      const int k = open_.back().itemBoundary;
      if (k >= 1) {
        const int found = nodes_[open_[k].node].tag;
        if (tag == kLi ? found == kLi : (found == kDd || found == kDt)) PopUntilIndex(k);
      }
      ClosePInButtonScope();
      break;
    }
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
  const bool opens = !(info.flags & kVoid);
  const int node = Insert(info, hiddenAttribute || (tag == kInput && inputHidden), opens);
  if (opens) Push(node, name);
  if (tag == kPre || tag == kListing || tag == kTextarea) dropNewline_ = true;
  return tag;
}

void TreeBuilder::EndTag(const std::wstring& name) {
  dropNewline_ = false;
  const TagInfo info = Lookup(name);
  const int tag = info.tag;
  if (info.flags & kShell) return;
  if (info.flags & kTablePart) {
    if (InScope(tag, kTableScope)) PopUntil(tag);
    return;
  }
  if (info.flags & kHeading) {
    // The nearest open heading of any level, unless an element with a scope lies between.
    const int k = open_.back().heading;
    if (k > open_.back().scope) PopUntilIndex(static_cast<std::size_t>(k));
    return;
  }
  switch (tag) {
    case kBr:
      StartTag(name, false, false);
      return;
    case kP:
      if (InScope(kP, kScope)) {
        PopUntil(kP);
      } else {
        Insert(info, false, false);  // a lone </p> stands for an empty paragraph
      }
      return;
    case kLi:
      if (InScope(kLi, kScope | kListScope)) PopUntil(kLi);
      return;
    default:
      break;
  }
  const int found = Highest(OpenPositions(tag, name));
  if (info.flags & (kBlock | kScope)) {
    // Block-like elements close whatever is still open inside them.
    if (found >= 0 && found >= Boundary(kScope)) PopUntilIndex(static_cast<std::size_t>(found));
    return;
  }
  // Any other element: the nearest open one of that name, unless a block lies in between.
  if (found >= 1 && found >= open_.back().special) PopUntilIndex(static_cast<std::size_t>(found));
}

void TreeBuilder::Text(std::wstring_view text) {
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

// The open elements of a known tag, or of a name without a rule (nullptr: none is open).
TreeBuilder::Positions* TreeBuilder::OpenPositions(int tag, const std::wstring& name) {
  if (tag != kOther) return &knownOpen_[static_cast<std::size_t>(tag)];
  const auto found = otherOpen_.find(name);
  return found == otherOpen_.end() ? nullptr : &found->second;
}

int TreeBuilder::Highest(const Positions* positions) {
  return positions == nullptr || positions->empty() ? -1 : positions->back();
}

// The position of the nearest open element that ends a search of this kind ("scope"); the
// document element ends every search.
int TreeBuilder::Boundary(unsigned boundaries) const {
  const OpenElement& top = open_.back();
  if (boundaries & kTableScope) return top.tableScope;
  return (boundaries & kListScope) ? top.listScope : top.scope;
}

bool TreeBuilder::InScope(int tag, unsigned boundaries) {
  const int found = Highest(&knownOpen_[static_cast<std::size_t>(tag)]);
  return found >= 0 && found >= Boundary(boundaries);
}

void TreeBuilder::ClosePInButtonScope() {
  if (InScope(kP, kScope)) PopUntil(kP);
}

void TreeBuilder::Pop() {
  if (open_.size() <= 1) return;
  const OpenElement& top = open_.back();
  top.positions->pop_back();
  if (top.otherName != nullptr && top.positions->empty()) {
    const std::wstring name = *top.otherName;
    otherOpen_.erase(name);
  }
  open_.pop_back();
}

// Closes the nearest open element of a known tag and everything inside it.
void TreeBuilder::PopUntil(int tag) {
  const int found = Highest(&knownOpen_[static_cast<std::size_t>(tag)]);
  PopUntilIndex(found < 1 ? 1 : static_cast<std::size_t>(found));
}

void TreeBuilder::PopUntilIndex(std::size_t index) {
  while (open_.size() > std::max<std::size_t>(index, 1)) Pop();
}

void TreeBuilder::Push(int node, const std::wstring& name) {
  if (node < 0 || open_.size() >= kMaxDepth) return;
  const Node& n = nodes_[node];
  const int k = static_cast<int>(open_.size());
  const OpenElement below = open_.empty()
                                ? OpenElement{-1, nullptr, nullptr, -1, -1, -1, -1, -1, -1, -1, -1}
                                : open_.back();
  const auto nearest = [k](bool is, int fromBelow) { return is ? k : fromBelow; };
  OpenElement e{node, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0};
  if (n.tag != kOther) {
    e.positions = &knownOpen_[n.tag];
  } else {
    const auto entry = otherOpen_.try_emplace(name).first;
    e.positions = &entry->second;
    e.otherName = &entry->first;
  }
  e.positions->push_back(k);
  const bool everyScope = n.tag == kHtml || n.tag == kTemplate;
  e.scope = nearest(everyScope || (n.flags & kScope), below.scope);
  e.listScope =
      nearest(everyScope || (n.flags & kScope) || n.tag == kOl || n.tag == kUl, below.listScope);
  e.tableScope = nearest(everyScope || n.tag == kTable, below.tableScope);
  e.special = nearest(n.flags & kSpecial, below.special);
  e.itemBoundary = nearest((n.flags & kSpecial) && !IsAddressDivOrP(n), below.itemBoundary);
  e.tablePart = nearest(n.flags & kTablePart, below.tablePart);
  e.templ = nearest(n.tag == kTemplate, below.templ);
  e.heading = nearest(n.flags & kHeading, below.heading);
  open_.push_back(e);
}

// Start tags of a table's parts: they only count inside a table, and they close the parts
// they cannot be nested in, adding the implied row group and row.
void TreeBuilder::TableStructureStart(int tag, const TagInfo& info, bool hidden) {
  const int k = open_.back().tablePart;
  if (k < 1 || open_.back().templ > k) return;  // not inside a table: the tag is ignored
  // Inside a cell or caption, a new part closes it first.
  const int found = nodes_[open_[static_cast<std::size_t>(k)].node].tag;
  if (found == kTd || found == kTh || found == kCaption) {
    PopUntilIndex(static_cast<std::size_t>(k));
    TableStructureStart(tag, info, hidden);
    return;
  }
  PopUntilIndex(static_cast<std::size_t>(k) + 1);
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
      if (nodes_[Current()].tag == kTable) Push(Insert(tbody, false, true), L"tbody");
      break;
    default:  // td, th
      if (nodes_[Current()].tag == kTable) Push(Insert(tbody, false, true), L"tbody");
      if (nodes_[Current()].tag != kTr) Push(Insert(tr, false, true), L"tr");
      break;
  }
  if (!IsTableContext(Current())) return;  // the implied parts could not be opened
  const bool opens = !(info.flags & kVoid);
  const int node = Insert(info, hidden, opens);
  if (opens) Push(node, std::wstring());
}

// Where content goes that is misplaced among a table's rows: just before the table.
TreeBuilder::Place TreeBuilder::InsertionBeforeTable() const {
  const int k = Highest(&knownOpen_[kTable]);
  if (k < 0) return {Current(), -1};
  const int table = open_[static_cast<std::size_t>(k)].node;
  return {nodes_[table].parent, table};
}

// Adds an element; `opens`: it is to become an open element. An element that will have no
// content and shows nothing when empty (an inline element beyond the nesting cap, a hidden or
// never rendered one) is left out, so that such runs cost no memory; returns -1 then.
int TreeBuilder::Insert(const TagInfo& info, bool hidden, bool opens) {
  const bool getsContent = opens && open_.size() < kMaxDepth;
  const bool showsWhenEmpty = !hidden && !(info.flags & kNone) &&
                              (info.tag != kOther || (info.flags & (kBlock | kAtomic)) != 0);
  if (!getsContent && !showsWhenEmpty) return -1;
  const bool foster = IsTableContext(Current()) && !(info.flags & kTableContext) &&
                      info.tag != kTd && info.tag != kTh && info.tag != kCaption &&
                      info.tag != kColgroup && info.tag != kCol;
  const int node = nodes_.Add();
  nodes_[node].tag = static_cast<std::uint8_t>(info.tag);
  nodes_[node].flags = static_cast<std::uint16_t>(info.flags);
  nodes_[node].hidden = hidden;
  Attach(foster ? InsertionBeforeTable() : Place{Current(), -1}, node);
  return node;
}

void TreeBuilder::Attach(Place place, int node) {
  Node& n = nodes_[node];
  Node& parent = nodes_[place.parent];
  n.parent = place.parent;
  if (place.before < 0) {
    n.prev = parent.last;
    if (parent.last >= 0) nodes_[parent.last].next = node;
    if (parent.first < 0) parent.first = node;
    parent.last = node;
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

// Text joins the text node before it when that node's text is the last one stored; otherwise
// it starts a text node of its own beside it, which renders the same.
void TreeBuilder::AppendText(Place place, std::wstring_view text) {
  std::wstring& texts = document_.texts;
  const int previous = place.before < 0 ? nodes_[place.parent].last : nodes_[place.before].prev;
  if (previous >= 0 && nodes_[previous].isText &&
      nodes_[previous].textStart + nodes_[previous].textLength == texts.size()) {
    texts.append(text);
    nodes_[previous].textLength += static_cast<std::uint32_t>(text.size());
    return;
  }
  const int node = nodes_.Add();
  nodes_[node].isText = true;
  nodes_[node].textStart = static_cast<std::uint32_t>(texts.size());
  nodes_[node].textLength = static_cast<std::uint32_t>(text.size());
  texts.append(text);
  Attach(place, node);
}

}  // namespace revivix::html
