// Throughput of the HTML engine's portable half: decoding and rendering a generated 1 MB page,
// once shaped like the player database (lines between br, p and table rows, references) and
// once heavy with markup (nested inline elements, attributes, comments, scripts, tables).
// Prints MB/s of page bytes; the figures depend on the build type.
#include <chrono>
#include <cstdio>
#include <string>

#include "detection/HtmlCharset.h"
#include "detection/HtmlText.h"

namespace {

constexpr std::size_t kPageBytes = 1024 * 1024;

std::string DatabasePage() {
  std::string page = "<!DOCTYPE html><html><head><title>Player database</title></head><body>\n";
  for (int i = 0; page.size() < kPageBytes; ++i) {
    const std::string n = std::to_string(i);
    const std::string line = "PID_4157,Zanterix Fernclip&nbsp;" + n + ",1,10,MTP,N/A,/fw/fc" + n +
                             ".htm,http://eu.example,http://www.example,-,Fernclip " + n +
                             " Firmware Updater,http://support.example/fc" + n +
                             ",1.0,http://www.example/revivix?a=1&amp;b=2";
    switch (i % 3) {
      case 0:
        page += line + "<br>\n";
        break;
      case 1:
        page += "<p>  " + line + "  </p>\n";
        break;
      default:
        page += "<table><tr><td>" + line + "</td><td>&#x41;</td></tr></table>\n";
        break;
    }
  }
  return page + "</body></html>\n";
}

std::string MarkupPage() {
  std::string page = "<html><body>";
  for (int i = 0; page.size() < kPageBytes; ++i) {
    page +=
        "<div class=\"row\" id=\"r" + std::to_string(i) +
        "\"><span style=\"color:red\"><b><i>cell</i></b></span> <A HREF=\"http://www.example/x\">"
        "link</A><!-- note --><script>var x = '<p>';</script><ul><li>one<li>two</ul>"
        "<TABLE><TR><TD>a<TD>b</TABLE>&lt;&gt;&amp;&eacute;</div>\n";
  }
  return page + "</body></html>";
}

void Measure(const char* name, const std::string& page) {
  using Clock = std::chrono::steady_clock;
  int runs = 0;
  std::size_t characters = 0;
  const auto start = Clock::now();
  double seconds = 0;
  do {
    characters += revivix::RenderInnerText(revivix::DecodeHtmlBytes(page, "text/html")).size();
    ++runs;
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < 1.0 || runs < 3);
  const double mb = static_cast<double>(page.size()) * runs / (1024.0 * 1024.0);
  std::printf("%-18s %8.2f MB/s  (%d runs of %zu bytes, %zu characters of text each)\n", name,
              mb / seconds, runs, page.size(), characters / runs);
}

}  // namespace

int main() {
  std::printf("HTML decode + render throughput\n");
  Measure("database page", DatabasePage());
  Measure("markup-heavy page", MarkupPage());
  return 0;
}
