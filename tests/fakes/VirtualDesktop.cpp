#include "fakes/VirtualDesktop.h"

#include <algorithm>
#include <cstring>

#include "common/Text.h"

namespace revivix::test {

namespace {

// The ANSI text of a window, as the system's conversion gives it: a character the code page lacks
// becomes one "?", also where a 16-bit wchar_t holds it as a surrogate pair.
std::string AnsiText(const CodePage& codePage, const std::wstring& text) {
  if (auto exact = codePage.Encode(text)) return *exact;
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t units = 1;
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      units = 2;
    out += codePage.Encode(text.substr(i, units)).value_or("?");
    i += units;
  }
  return out;
}

}  // namespace

void VirtualDesktop::EnumWindows(const WindowProc& proc, std::intptr_t value) {
  ++topLevelEnumerations;
  // A copy: a callback may not change the desktop, but a stale list must never be read.
  const std::vector<WindowHandle> order = topLevel_;
  for (WindowHandle w : order)
    if (Exists(w) && proc(w, value) == 0) return;
}

void VirtualDesktop::EnumChildWindows(WindowHandle parent, const WindowProc& proc,
                                      std::intptr_t value) {
  ++childEnumerations;
  if (!Exists(parent)) return;
  std::vector<WindowHandle> order;
  Descendants(parent, order);
  for (WindowHandle w : order)
    if (Exists(w) && proc(w, value) == 0) return;
}

void VirtualDesktop::Descendants(WindowHandle parent, std::vector<WindowHandle>& out) const {
  for (WindowHandle child : windows_.at(parent).children) {
    out.push_back(child);
    Descendants(child, out);
  }
}

int VirtualDesktop::GetWindowTextA(WindowHandle window, char* buffer, int maxCount) {
  const auto it = windows_.find(window);
  if (maxCount <= 0) return 0;
  if (it == windows_.end()) {
    buffer[0] = '\0';
    return 0;
  }
  const std::string bytes = AnsiText(codePage, it->second.stored);
  const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(maxCount - 1));
  std::memcpy(buffer, bytes.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

std::intptr_t VirtualDesktop::Handle(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam, bool posted) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return 0;
  Window& w = it->second;
  switch (message) {
    case kWmGetTextLength:
      return w.claimedLength ? *w.claimedLength
                             : static_cast<std::intptr_t>(AnsiText(codePage, w.live).size());
    case kWmGetText: {
      if (wParam == 0) return 0;
      const std::string bytes = AnsiText(codePage, w.live);
      const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(wParam - 1));
      char* buffer = reinterpret_cast<char*>(lParam);
      std::memcpy(buffer, bytes.data(), n);
      buffer[n] = '\0';
      return static_cast<std::intptr_t>(n);
    }
    case kBmClick: {
      handled.push_back({window, message, posted, loop_.Now()});
      const auto action = w.onClick;  // the action may destroy the window
      if (action) action();
      return 0;
    }
    case kWmClose: {
      handled.push_back({window, message, posted, loop_.Now()});
      const auto action = w.onClose;
      if (action)
        action();
      else
        Destroy(window);
      return 0;
    }
    default:
      return 0;
  }
}

std::optional<std::intptr_t> VirtualDesktop::SendMessageTimeoutA(
    WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
    std::uint32_t flags, std::uint32_t timeoutMs) {
  if (message == kBmClick || message == kWmClose)
    requests.push_back({window, message, false, loop_.Now()});
  const bool timedOut = Hung(window);
  sends.push_back({message, flags, timeoutMs, timedOut});
  if (timedOut) {
    // The message waits in the program's queue; a text read's buffer is gone by then, so only
    // the messages without one take effect later.
    if (message != kWmGetText) held_.push_back({window, message, wParam, lParam});
    return std::nullopt;
  }
  return Handle(window, message, wParam, lParam, false);
}

ProcessId VirtualDesktop::GetWindowThreadProcessId(WindowHandle window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.process;
}

bool VirtualDesktop::Hung(WindowHandle window) const {
  const auto it = windows_.find(window);
  return it != windows_.end() &&
         std::find(hung_.begin(), hung_.end(), it->second.process) != hung_.end();
}

void VirtualDesktop::Hang(ProcessId process, bool hung) {
  hung_.erase(std::remove(hung_.begin(), hung_.end(), process), hung_.end());
  if (hung) {
    hung_.push_back(process);
    return;
  }
  std::vector<Held> held;
  held.swap(held_);
  for (const Held& h : held)
    loop_.Queue([this, h] { Handle(h.window, h.message, h.wParam, h.lParam, true); });
}

bool VirtualDesktop::PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
  if (message == kBmClick || message == kWmClose)
    requests.push_back({window, message, true, loop_.Now()});
  if (!Exists(window)) return false;
  // Only messages without a buffer can be posted. A hung program finds them when it answers again.
  loop_.Queue([this, window, message, wParam, lParam] {
    if (Hung(window))
      held_.push_back({window, message, wParam, lParam});
    else
      Handle(window, message, wParam, lParam, true);
  });
  return true;
}

bool VirtualDesktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int, int, int, int,
                                  std::uint32_t) {
  placements.emplace_back(window, insertAfter);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  if (insertAfter == kHwndTopmost) it->second.topmost = true;
  return true;
}

WindowHandle VirtualDesktop::NewWindow(WindowHandle parent, const std::wstring& stored,
                                       const std::wstring& live, ProcessId process) {
  const WindowHandle h = next_;
  next_ += 4;
  Window w;
  w.parent = parent;
  w.process = parent ? windows_.at(parent).process : process;
  w.stored = stored;
  w.live = live;
  windows_.emplace(h, std::move(w));
  if (parent)
    windows_.at(parent).children.push_back(h);
  else
    topLevel_.push_back(h);
  return h;
}

WindowHandle VirtualDesktop::AddWindow(const std::wstring& title, ProcessId process) {
  return NewWindow(0, title, title, process);
}

WindowHandle VirtualDesktop::AddControl(WindowHandle parent, const std::wstring& text) {
  return NewWindow(parent, text, text, 0);
}

WindowHandle VirtualDesktop::AddOwnTextControl(WindowHandle parent, const std::wstring& stored,
                                               const std::wstring& live) {
  return NewWindow(parent, stored, live, 0);
}

void VirtualDesktop::SetText(WindowHandle window, const std::wstring& text) {
  if (!Exists(window)) return;
  windows_.at(window).stored = text;
  windows_.at(window).live = text;
}

void VirtualDesktop::SetLiveText(WindowHandle window, const std::wstring& text) {
  if (Exists(window)) windows_.at(window).live = text;
}

void VirtualDesktop::ClaimLength(WindowHandle window, std::intptr_t length) {
  if (Exists(window)) windows_.at(window).claimedLength = length;
}

void VirtualDesktop::OnClick(WindowHandle window, std::function<void()> action) {
  if (Exists(window)) windows_.at(window).onClick = std::move(action);
}

void VirtualDesktop::OnClose(WindowHandle window, std::function<void()> action) {
  if (Exists(window)) windows_.at(window).onClose = std::move(action);
}

void VirtualDesktop::Destroy(WindowHandle window) {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  const std::vector<WindowHandle> children = it->second.children;
  for (WindowHandle child : children) Destroy(child);
  const WindowHandle parent = windows_.at(window).parent;
  if (parent && Exists(parent)) {
    auto& siblings = windows_.at(parent).children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  }
  topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), window), topLevel_.end());
  windows_.erase(window);
}

void VirtualDesktop::After(int ms, std::function<void()> action) {
  auto timer = std::make_unique<Timer>("scripted", std::max(ms, 1), true);
  Timer* t = timer.get();
  t->OnTick = [t, action = std::move(action)] {
    t->SetEnabled(false);
    action();
  };
  t->Bind(&loop_);
  scheduled_.push_back(std::move(timer));
}

bool VirtualDesktop::IsTopmost(WindowHandle window) const {
  const auto it = windows_.find(window);
  return it != windows_.end() && it->second.topmost;
}

std::wstring VirtualDesktop::LiveText(WindowHandle window) const {
  const auto it = windows_.find(window);
  return it == windows_.end() ? L"" : it->second.live;
}

int VirtualDesktop::Requests(WindowHandle window, std::uint32_t message, bool posted) const {
  return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const Message& m) {
    return m.window == window && m.message == message && m.posted == posted;
  }));
}

int VirtualDesktop::Handled(WindowHandle window, std::uint32_t message) const {
  return static_cast<int>(std::count_if(handled.begin(), handled.end(), [&](const Message& m) {
    return m.window == window && m.message == message;
  }));
}

}  // namespace revivix::test
