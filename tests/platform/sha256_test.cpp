// SHA-256 against the standard test vectors, whole and fed in pieces.
#include <gtest/gtest.h>

#include <string>

#include "platform/sha256.h"

namespace vellora {
namespace {

TEST(Sha256Test, StandardVectors) {
  struct Case {
    std::string message;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      // Lengths about the padding's boundaries: 55, 56 and 64 bytes.
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.digest, Sha256Hex(c.message)) << c.message.size() << " bytes";
    // The same message in uneven pieces, as a file is read in blocks.
    for (size_t piece : {size_t{1}, size_t{7}, size_t{63}, size_t{65}, size_t{65536}}) {
      Sha256 hash;
      for (size_t at = 0; at < c.message.size(); at += piece) {
        hash.Update(std::string_view(c.message).substr(at, piece));
      }
      EXPECT_EQ(c.digest, hash.HexDigest()) << c.message.size() << " bytes in " << piece;
    }
  }
}

}  // namespace
}  // namespace vellora
