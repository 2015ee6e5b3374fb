// SHA-256 (FIPS 180-4) over data given in any number of pieces, so that a
// file is hashed as it is read and never held whole in memory. Pure: no
// system calls.
#ifndef VELLORA_PLATFORM_SHA256_H_
#define VELLORA_PLATFORM_SHA256_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellora {

class Sha256 {
 public:
  Sha256();

  // Adds the next bytes of the message.
  void Update(std::string_view data);

  // The digest of everything added, as 64 lower-case hex digits. The object
  // is then spent: make a new one for the next message.
  std::string HexDigest();

 private:
  void Block(const unsigned char* block);

  std::array<uint32_t, 8> state_;
  std::array<unsigned char, 64> buffer_;
  size_t buffered_ = 0;
  uint64_t length_ = 0;  // bytes added
};

// The hex digest of `data` in one call.
std::string Sha256Hex(std::string_view data);

}  // namespace vellora

#endif  // VELLORA_PLATFORM_SHA256_H_
