#include "common/sha256.hpp"

#include <array>
#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>
#define FOLD_SHA_NI 1
#endif

#include "common/files.hpp"

namespace common {
namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void Compress(std::array<std::uint32_t, 8>& h, const unsigned char* block) {
  std::array<std::uint32_t, 64> w{};
  for (int i = 0; i < 16; ++i)
    w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
           std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
  for (int i = 16; i < 64; ++i) {
    const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
    const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  std::array<std::uint32_t, 8> v = h;
  for (int i = 0; i < 64; ++i) {
    const std::uint32_t s1 = Rotr(v[4], 6) ^ Rotr(v[4], 11) ^ Rotr(v[4], 25);
    const std::uint32_t choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
    const std::uint32_t t1 = v[7] + s1 + choose + kRound[i] + w[i];
    const std::uint32_t s0 = Rotr(v[0], 2) ^ Rotr(v[0], 13) ^ Rotr(v[0], 22);
    const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
  }
  for (int i = 0; i < 8; ++i) h[i] += v[i];
}

using Compress_Blocks = void (*)(std::array<std::uint32_t, 8>&, const unsigned char*, std::size_t);

void Compress_Portable(std::array<std::uint32_t, 8>& h, const unsigned char* blocks, std::size_t count) {
  for (std::size_t b = 0; b < count; ++b) Compress(h, blocks + 64 * b);
}

#ifdef FOLD_SHA_NI
// The processor's SHA-256 rounds: catena hashes the 6 MB pair table at every
// start, which costs about a tenth of a second without them.
__attribute__((target("sha,sse4.1,ssse3"))) void Compress_Ni(std::array<std::uint32_t, 8>& h,
                                                             const unsigned char* blocks, std::size_t count) {
  const __m128i byte_swap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  // The instructions keep the state as ABEF and CDGH.
  const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h.data())), 0xB1);
  const __m128i hgfe = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h.data() + 4)), 0x1B);
  __m128i abef = _mm_alignr_epi8(dcba, hgfe, 8);
  __m128i cdgh = _mm_blend_epi16(hgfe, dcba, 0xF0);
  for (std::size_t b = 0; b < count; ++b) {
    const unsigned char* const block = blocks + 64 * b;
    const __m128i abef_before = abef;
    const __m128i cdgh_before = cdgh;
    // w[g % 4] holds message words 4g .. 4g + 3 once group g is reached.
    __m128i w[4];  // NOLINT: vector registers, not a buffer
    for (int g = 0; g < 16; ++g) {
      if (g < 4) {
        w[g] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * g)), byte_swap);
      } else {
        const __m128i back1 = w[(g + 3) % 4];
        const __m128i partial =
            _mm_add_epi32(_mm_sha256msg1_epu32(w[g % 4], w[(g + 1) % 4]), _mm_alignr_epi8(back1, w[(g + 2) % 4], 4));
        w[g % 4] = _mm_sha256msg2_epu32(partial, back1);
      }
      const __m128i message =
          _mm_add_epi32(w[g % 4], _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound.data() + 4 * g)));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(message, 0x0E));
    }
    abef = _mm_add_epi32(abef, abef_before);
    cdgh = _mm_add_epi32(cdgh, cdgh_before);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(h.data()), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(h.data() + 4), _mm_alignr_epi8(dchg, feba, 8));
}
#endif

std::string Digest(std::string_view data, Compress_Blocks compress) {
  std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t whole = data.size() / 64 * 64;
  compress(h, bytes, whole / 64);
  // The tail, the 0x80 marker, zeros and the message length in bits.
  std::array<unsigned char, 128> tail{};
  const std::size_t rest = data.size() - whole;
  for (std::size_t i = 0; i < rest; ++i) tail[i] = bytes[whole + i];
  tail[rest] = 0x80;
  const std::size_t tail_size = rest < 56 ? 64 : 128;
  const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
  for (int i = 0; i < 8; ++i) tail[tail_size - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
  compress(h, tail.data(), tail_size / 64);
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint32_t word : h)
    for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(word >> shift) & 0xF];
  return hex;
}

#ifdef FOLD_SHA_NI
// Asked of the processor itself: clang's __builtin_cpu_supports knows no "sha".
bool Has_Sha_Instructions() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  const bool ssse3 = (c & (1U << 9)) != 0, sse41 = (c & (1U << 19)) != 0;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  const bool sha = (b & (1U << 29)) != 0;
  return sha && ssse3 && sse41;
}
#endif

}  // namespace

std::string Sha256_Hex(std::string_view data) {
#ifdef FOLD_SHA_NI
  static const bool has_sha = Has_Sha_Instructions();
  if (has_sha) return Digest(data, Compress_Ni);
#endif
  return Digest(data, Compress_Portable);
}

std::string Sha256_Hex_Portable(std::string_view data) { return Digest(data, Compress_Portable); }

std::optional<std::string> File_Sha256_Hex(const std::string& path) {
  // Mapped rather than copied: a potential table is several megabytes.
  const auto content = Whole_File::Open(path);
  if (!content) return std::nullopt;
  return Sha256_Hex(content->Text());
}

}  // namespace common
