// SHA-256 of a run of bytes, as lower-case hexadecimal: the fingerprint the log gives of the
// updater it starts, so that support can compare it with the file on the maker's site.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace revivix {

class Sha256 {
 public:
  Sha256();
  void Update(const std::uint8_t* data, std::size_t size);
  void Update(std::string_view bytes) {
    Update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  // The digest of everything given so far; the object takes no more bytes afterwards.
  std::array<std::uint8_t, 32> Finish();

 private:
  void Block(const std::uint8_t* block);
  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t length_ = 0;  // bytes given
};

// The digest of `size` bytes, 64 hexadecimal digits.
std::string Sha256Hex(const std::uint8_t* data, std::size_t size);
inline std::string Sha256Hex(std::string_view bytes) {
  return Sha256Hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace revivix
