// A small Windows program image for the download tests: a DOS header, the program headers, a
// section table, the sections' data, a payload after them and, when asked, a signature (the
// security directory) at the end, as signed firmware updaters carry one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace revivix::test {

struct ProgramImage {
  int sections = 1;
  std::uint32_t sectionSize = 0x200;  // raw data of each section
  std::size_t payload = 0;            // bytes after the sections
  std::uint32_t signatureSize = 0;    // 0: unsigned
  bool wide = false;                  // the 64-bit form of the optional header

  static constexpr std::uint32_t kPeAt = 0x80;
  static constexpr std::uint32_t kHeadersSize = 0x400;

  std::uint32_t OptionalAt() const { return kPeAt + 4 + 20; }
  std::uint32_t OptionalSize() const { return wide ? 240 : 224; }
  std::uint32_t SectionTableAt() const { return OptionalAt() + OptionalSize(); }
  std::uint32_t SectionAt(int i) const { return kHeadersSize + i * sectionSize; }
  // Where the security directory's entry lies (its file offset, then its size).
  std::uint32_t SecurityEntryAt() const { return OptionalAt() + (wide ? 112 : 96) + 4 * 8; }
  std::size_t PayloadAt() const { return SectionAt(sections); }
  std::size_t SignatureAt() const { return PayloadAt() + payload; }
  std::size_t Size() const { return SignatureAt() + signatureSize; }

  std::string Build() const {
    std::string b(Size(), '\0');
    const auto put16 = [&b](std::size_t at, std::uint32_t v) {
      b[at] = static_cast<char>(v & 0xFF);
      b[at + 1] = static_cast<char>(v >> 8 & 0xFF);
    };
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
      put16(at, v & 0xFFFF);
      put16(at + 2, v >> 16);
    };
    b[0] = 'M';
    b[1] = 'Z';
    put32(0x3C, kPeAt);
    b[kPeAt] = 'P';
    b[kPeAt + 1] = 'E';
    put16(kPeAt + 4, wide ? 0x8664 : 0x14C);
    put16(kPeAt + 6, static_cast<std::uint32_t>(sections));
    put16(kPeAt + 20, OptionalSize());
    put16(kPeAt + 22, 0x0102);
    put16(OptionalAt(), wide ? 0x20B : 0x10B);
    put32(OptionalAt() + 60, kHeadersSize);
    put32(OptionalAt() + (wide ? 108 : 92), 16);
    for (int i = 0; i < sections; ++i) {
      const std::uint32_t header = SectionTableAt() + 40 * static_cast<std::uint32_t>(i);
      b[header] = '.';
      b[header + 1] = static_cast<char>('a' + i);
      put32(header + 8, sectionSize);
      put32(header + 12, 0x1000 * static_cast<std::uint32_t>(i + 1));
      put32(header + 16, sectionSize);
      put32(header + 20, SectionAt(i));
      for (std::uint32_t k = 0; k < sectionSize; ++k) b[SectionAt(i) + k] = static_cast<char>(0x90);
    }
    for (std::size_t k = 0; k < payload; ++k) b[PayloadAt() + k] = static_cast<char>(0xA5);
    if (signatureSize != 0) {
      put32(SecurityEntryAt(), static_cast<std::uint32_t>(SignatureAt()));
      put32(SecurityEntryAt() + 4, signatureSize);
      for (std::uint32_t k = 0; k < signatureSize; ++k)
        b[SignatureAt() + k] = static_cast<char>(0x30);
    }
    return b;
  }

  // A complete program of `size` bytes (its payload fills up to the size); a size below the
  // smallest program gives the first `size` bytes of one, a cut-off header.
  static std::string OfSize(std::size_t size) {
    ProgramImage image;
    if (size > image.Size()) image.payload = size - image.Size();
    std::string bytes = image.Build();
    bytes.resize(size);
    return bytes;
  }
};

inline std::vector<std::uint8_t> Bytes(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace revivix::test
