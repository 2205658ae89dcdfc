// An ANSI code page as tables: what each byte, or each lead byte and trail byte, stands for. The
// conversions between the system's ANSI texts (window texts of another program, the settings
// file) and the program's UTF-16 texts run through this one class; the Windows layer fills it
// from the system's own tables, the tests from tables of their own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace revivix {

class CodePage {
 public:
  // A code page of one byte per character: `units[b]` is the character of byte b.
  static CodePage SingleByte(std::uint32_t id, const std::array<char16_t, 256>& units);
  // A code page of one or two bytes per character. `units[b]` is the character of a single byte
  // b that is no lead byte; `pairs` holds every valid pair, lead byte << 8 | trail byte, with
  // its character; a byte is a lead byte when `leads[b]` is set. `defaultChar` stands for a byte
  // sequence that is no character (a lead byte without a valid trail byte).
  static CodePage DoubleByte(std::uint32_t id, const std::array<char16_t, 256>& units,
                             const std::array<bool, 256>& leads,
                             const std::vector<std::pair<std::uint16_t, char16_t>>& pairs,
                             char16_t defaultChar);
  // UTF-8 as the ANSI code page (65001).
  static CodePage Utf8();
  // Code page 1252 (Western European), built in.
  static CodePage Windows1252();

  std::uint32_t Id() const { return id_; }

  // The text of `count` bytes. When `starts` is given, it receives for every unit of the text
  // the offset of the byte sequence it came from, and then one more entry: `count`.
  std::wstring Decode(const std::uint8_t* bytes, std::size_t count,
                      std::vector<std::size_t>* starts = nullptr) const;
  std::wstring Decode(std::string_view bytes) const;

  // The bytes of `text`, when every character has bytes that decode to exactly that character
  // again; no value otherwise. No character is ever replaced by a look-alike ("best fit"): a
  // text that does not convert exactly does not convert at all.
  std::optional<std::string> Encode(std::wstring_view text) const;

 private:
  enum class Kind { SingleByte, DoubleByte, Utf8 };
  CodePage(std::uint32_t id, Kind kind);
  void AddReverse(char16_t unit, std::uint16_t sequence);

  std::uint32_t id_;
  Kind kind_;
  std::array<char16_t, 256> units_{};
  std::array<std::int16_t, 256> leadIndex_{};      // -1: no lead byte
  std::vector<std::array<char16_t, 256>> trails_;  // per lead byte; 0xFFFF: no character
  char16_t defaultChar_ = 0xFFFD;
  // Each character's bytes: a single byte below 0x100, else lead byte << 8 | trail byte.
  std::unordered_map<char16_t, std::uint16_t> reverse_;
};

}  // namespace revivix
