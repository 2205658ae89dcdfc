// Cost of the HTML engine's portable half on hostile pages: each case is a generated page of
// 8 MiB, the most the engine fetches, built to make one part of the reading work hard (deep
// nesting, searches of the open elements, table fix-ups, character references, attributes, the
// most nodes per byte). Each case runs in a child process of its own, so its peak memory is its
// own: the page, its decoded text, the tree and the result. Prints the time of decoding and
// rendering and the peak memory of each case, against the goals of 2 s and 256 MB.
//
// Usage: revivix-bench-html-adversarial [CASE...]   (all cases when none is named)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"

namespace {

constexpr std::size_t kPageBytes = 8 * 1024 * 1024;
constexpr double kGoalSeconds = 2.0;
constexpr double kGoalMegabytes = 256.0;

// Repeats `unit` after `prefix` until the page is 8 MiB.
std::string Fill(std::string prefix, const std::string& unit) {
  std::string page = std::move(prefix);
  page.reserve(kPageBytes);
  while (page.size() + unit.size() <= kPageBytes) page += unit;
  page.append(kPageBytes - page.size(), ' ');
  return page;
}

std::string Repeat(const std::string& unit, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += unit;
  return out;
}

// Elements opened and never closed: the nesting reaches the cap, and everything after it is
// added at the deepest level.
std::string DeepNesting() {
  return Fill("", "<div>x");
}

// List items below 512 open inline elements: each item looks for an open item and a paragraph
// to close through all of them.
std::string ItemsUnderInline() {
  return Fill("<ul>" + Repeat("<span>", 512), "<li>x");
}

// End tags of elements that are not open, below a block and 511 inline elements: each looks
// through the open elements for its own.
std::string StrayEndTags() {
  return Fill("<section>" + Repeat("<i>", 511), "</b></p></li></h1>x");
}

// Tables nested to the cap, each with misplaced text and elements (moved before the table) and
// a cell without its row group and row (both implied).
std::string TableFixups() {
  return Fill("", "<table>stray <b>bold</b><td>cell");
}

// Tables whose misplaced content alternates with cells: the text before the table grows while
// the cells fill.
std::string FosteredText() {
  return Fill("<table><tr>", "stray<td>cell</td>");
}

// More than a million character references: named with and without the semicolon, decimal,
// hexadecimal, out of range, and names that only a shorter name is the start of.
std::string CharacterReferences() {
  return Fill("<p>", "&amp;&lt&#65;&#x1F600;&notit;&#1114112;&ampx");
}

// References that match no name: each one tries every shorter name.
std::string UnknownReferences() {
  return Fill("<p>", "&CounterClockwiseContourIntegralQ ");
}

// Tags with the most attributes counted, each name long and sharing its start with the others,
// and names repeated after them.
std::string Attributes() {
  std::string tag = "<span";
  for (int i = 0; i < 64; ++i)
    tag += " data-attribute-with-a-long-shared-name-" + std::to_string(i) + "=\"v\"";
  tag += " type=hidden" + Repeat(" data-attribute-with-a-long-shared-name-0", 16);
  return Fill("", tag + ">x</span>");
}

// One start tag of 8 MiB of attributes.
std::string OneTagOfAttributes() {
  std::string page = Fill("<b", " a=1 b c='d'");
  return page + ">x";
}

// The most nodes per byte: an inline element and a text, over and over.
std::string ElementsAndText() {
  return Fill("", "<b>x");
}

struct Case {
  const char* name;
  std::string (*page)();
};

const Case kCases[] = {
    {"deep nesting", DeepNesting},
    {"li under 512 inline elements", ItemsUnderInline},
    {"stray end tags under 512 inline elements", StrayEndTags},
    {"table fix-ups", TableFixups},
    {"fostered text between cells", FosteredText},
    {"a million character references", CharacterReferences},
    {"unknown character references", UnknownReferences},
    {"attributes to the cap", Attributes},
    {"one tag of 8 MiB of attributes", OneTagOfAttributes},
    {"elements and text", ElementsAndText},
};

struct Figures {
  double seconds;
  double megabytes;
  std::size_t characters;
  bool ok;
};

// Runs one case in a child process; the child writes its time and text length to a pipe.
Figures RunCase(const Case& c) {
  int fds[2];
  if (pipe(fds) != 0) return {0, 0, 0, false};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    const std::string page = c.page();
    const auto start = std::chrono::steady_clock::now();
    const std::size_t characters =
        revivix::RenderInnerText(revivix::DecodeHtmlBytes(page, "text/html; charset=utf-8")).size();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%.6f %zu\n", seconds, characters);
    const bool written = write(fds[1], line, static_cast<std::size_t>(length)) == length;
    _exit(written ? 0 : 1);
  }
  close(fds[1]);
  if (child < 0) {
    close(fds[0]);
    return {0, 0, 0, false};
  }
  char line[64] = {};
  std::size_t got = 0;
  while (got + 1 < sizeof line) {
    const ssize_t n = read(fds[0], line + got, sizeof line - 1 - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fds[0]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return {0, 0, 0, false};
  Figures figures{0, static_cast<double>(usage.ru_maxrss) / 1024.0, 0, false};  // ru_maxrss: KiB
  figures.ok = std::sscanf(line, "%lf %zu", &figures.seconds, &figures.characters) == 2;
  return figures;
}

// One machine-readable line per figure: row, figure, goal, figure as a share of the goal.
void PrintFigure(const std::string& row, double value, const char* unit, double goal) {
  std::printf("REVIVIX-BENCH\t%s\t%.2f %s\t< %.0f %s\t%.2f\n", row.c_str(), value, unit, goal, unit,
              value / goal);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<const Case*> chosen;
  for (int i = 1; i < argc; ++i) {
    bool known = false;
    for (const Case& c : kCases) {
      if (std::strcmp(c.name, argv[i]) == 0) {
        chosen.push_back(&c);
        known = true;
      }
    }
    if (!known) {
      std::fprintf(stderr, "revivix-bench-html-adversarial: no case \"%s\"; the cases:\n", argv[i]);
      for (const Case& c : kCases) std::fprintf(stderr, "  %s\n", c.name);
      return 2;
    }
  }
  if (chosen.empty())
    for (const Case& c : kCases) chosen.push_back(&c);

  std::printf("HTML decode + render of hostile 8 MiB pages (goal: under %.0f s and %.0f MB each)\n",
              kGoalSeconds, kGoalMegabytes);
  bool allWithin = true;
  for (const Case* c : chosen) {
    std::fflush(stdout);
    const Figures f = RunCase(*c);
    if (!f.ok) {
      std::printf("%-42s failed (the child process did not finish)\n", c->name);
      allWithin = false;
      continue;
    }
    const bool within = f.seconds < kGoalSeconds && f.megabytes < kGoalMegabytes;
    allWithin = allWithin && within;
    std::printf("%-42s %7.3f s %8.1f MB peak  %9zu characters of text%s\n", c->name, f.seconds,
                f.megabytes, f.characters, within ? "" : "  OVER THE GOAL");
    PrintFigure(std::string("html adversarial: ") + c->name + ", time", f.seconds, "s",
                kGoalSeconds);
    PrintFigure(std::string("html adversarial: ") + c->name + ", peak memory", f.megabytes, "MB",
                kGoalMegabytes);
  }
  std::printf("%s\n", allWithin ? "every case within the goals" : "some case over the goals");
  return 0;
}
