#include "detection/HtmlTree.h"

#include <algorithm>

namespace revivix::html {

namespace {

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

// Which open elements end a search for an open element ("scope").
constexpr unsigned kListScope = 1u << 21;   // also ol and ul
constexpr unsigned kTableScope = 1u << 22;  // only table

bool IsAddressDivOrP(const Node& node) {
  return node.tag == kP || node.tag == kDiv || node.tag == kAddress;
}

bool Boundary(const Node& node, unsigned boundaries) {
  if (node.tag == kHtml || node.tag == kTemplate) return true;
  if (boundaries & kTableScope) return node.tag == kTable;
  if (node.flags & kScope) return true;
  return (boundaries & kListScope) && (node.tag == kOl || node.tag == kUl);
}

}  // namespace

const TagInfo* FindTagInfo(const std::wstring& name) {
  const auto known = TagTable().find(name);
  return known == TagTable().end() ? nullptr : &known->second;
}

TreeBuilder::TreeBuilder(std::vector<Node>& nodes) : nodes_(nodes) {
  nodes_.push_back(Node{});
  nodes_[0].tag = kHtml;
  nodes_[0].flags = TagTable().at(L"html").flags;
  open_.push_back(0);
}

int TreeBuilder::StartTag(const std::wstring& name, bool hiddenAttribute, bool inputHidden) {
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

void TreeBuilder::EndTag(const std::wstring& name) {
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

TagInfo TreeBuilder::Lookup(const std::wstring& name) {
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
int TreeBuilder::OtherId(const std::wstring& name) {
  const auto found = otherIds_.find(name);
  if (found != otherIds_.end()) return found->second;
  const int id = kKnownCount + static_cast<int>(otherIds_.size());
  otherIds_.emplace(name, id);
  return id;
}

bool TreeBuilder::InScope(int tag, unsigned boundaries) const {
  for (std::size_t k = open_.size(); k-- > 0;) {
    const Node& node = nodes_[open_[k]];
    if (node.tag == tag) return true;
    if (Boundary(node, boundaries)) return false;
  }
  return false;
}

void TreeBuilder::ClosePInButtonScope() {
  if (InScope(kP, kScope)) PopUntil(kP);
}

void TreeBuilder::Pop() {
  if (open_.size() > 1) open_.pop_back();
}

void TreeBuilder::PopUntil(int tag) {
  while (open_.size() > 1) {
    const int tagOfTop = nodes_[open_.back()].tag;
    open_.pop_back();
    if (tagOfTop == tag) return;
  }
}

void TreeBuilder::PopUntilIndex(std::size_t index) {
  open_.resize(std::max<std::size_t>(index, 1));
}

void TreeBuilder::Push(int node) {
  if (open_.size() < kMaxDepth) open_.push_back(node);
}

// Start tags of a table's parts: they only count inside a table, and they close the parts
// they cannot be nested in, adding the implied row group and row.
void TreeBuilder::TableStructureStart(int tag, const TagInfo& info, bool hidden) {
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
TreeBuilder::Place TreeBuilder::InsertionBeforeTable() const {
  for (std::size_t k = open_.size(); k-- > 0;) {
    const int node = open_[k];
    if (nodes_[node].tag == kTable && nodes_[node].parent >= 0) return {nodes_[node].parent, node};
  }
  return {Current(), -1};
}

int TreeBuilder::Insert(const TagInfo& info, bool hidden) {
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

int TreeBuilder::NewNode() {
  nodes_.emplace_back();
  return static_cast<int>(nodes_.size() - 1);
}

void TreeBuilder::Attach(Place place, int node) {
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

void TreeBuilder::AppendText(Place place, std::wstring_view text) {
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

}  // namespace revivix::html
