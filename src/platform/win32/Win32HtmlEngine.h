// The HTML engine of the Windows program.
#pragma once

#include "platform/HtmlEngine.h"

namespace revivix::win32 {

class Win32HtmlEngine : public HtmlEngine {
 public:
  std::unique_ptr<HtmlDocument> CreateDocumentFromUrl(const std::wstring& url) override;
};

}  // namespace revivix::win32
