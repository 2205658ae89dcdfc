#include "checks/WMPversion.h"

#include <cstdint>

namespace revivix {

std::wstring GetMediaPlayerVersion(Registry& registry) {
  const RegistryValue value = registry.LocalMachineValue(kMediaPlayerKey, L"Version");
  std::wstring text;
  if (value.kind == RegistryValue::Kind::Text)
    text = value.text;
  else if (value.kind == RegistryValue::Kind::Number)
    // A 32-bit value is a signed number whose decimal text is compared.
    text = std::to_wstring(static_cast<std::int32_t>(value.number));
  const std::wstring start = text.substr(0, 2);
  if (start == L"10") return L"10";
  if (start == L"11") return L"11";
  return L"0";
}

}  // namespace revivix
