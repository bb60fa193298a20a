#include "common/sha256.hpp"

#include <gtest/gtest.h>

namespace common {
namespace {

// FIPS 180-4 examples, and lengths on both sides of the padding boundaries.
TEST(Sha256, KnownDigests) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& [data, digest] : cases) {
    EXPECT_EQ(Sha256_Hex(data), digest) << data.size() << " bytes";
    EXPECT_EQ(Sha256_Hex_Portable(data), digest) << data.size() << " bytes";
  }
}

// The processor's rounds against the portable ones on every tail length and
// bytes of all values (a wrong word order or schedule shows at once).
TEST(Sha256, HardwareAgreesWithPortable) {
  std::string data;
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(Sha256_Hex(data), Sha256_Hex_Portable(data)) << i << " bytes";
    data += static_cast<char>(i * 151 + 7);
  }
}

}  // namespace
}  // namespace common
