// SHA-256 against the published test vectors, including inputs that end exactly at and just
// around a block's padding boundary, and input given in uneven pieces.
#include <gtest/gtest.h>

#include <string>

#include "common/Sha256.h"

namespace revivix {
namespace {

TEST(Sha256, KnownVectors) {
  const struct {
    std::string input;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: two blocks
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmn"
       "opqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input.size());
    EXPECT_EQ(Sha256Hex(c.input), c.digest);
  }
}

TEST(Sha256, PiecesGiveTheSameDigestAsTheWhole) {
  std::string input;
  for (int i = 0; i < 1000; ++i) input.push_back(static_cast<char>(i * 7));
  for (const std::size_t piece : {1u, 3u, 63u, 64u, 65u, 200u}) {
    Sha256 hash;
    for (std::size_t at = 0; at < input.size(); at += piece)
      hash.Update(std::string_view(input).substr(at, piece));
    const auto digest = hash.Finish();
    std::string hex;
    for (const auto byte : digest) {
      static constexpr char kDigits[] = "0123456789abcdef";
      hex += kDigits[byte >> 4];
      hex += kDigits[byte & 15];
    }
    EXPECT_EQ(hex, Sha256Hex(input)) << piece;
  }
}

}  // namespace
}  // namespace revivix
