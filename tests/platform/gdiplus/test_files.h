#pragma once
// Sample pictures of tests/data/pictures, as bytes.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace gdiplus_test {

inline std::string PicturePath(const std::string& name) {
  return std::string(LUMIVANE_TEST_DATA) + "/pictures/" + name;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::uint8_t> Picture(const std::string& name) { return ReadBytes(PicturePath(name)); }

// Little- and big-endian patches of a copy.
inline void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutBe(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * (bytes - 1 - i)));
}

// Where a byte sequence first occurs (npos when it does not).
inline std::size_t Find(const std::vector<std::uint8_t>& b, const std::string& what) {
  const auto it = std::search(b.begin(), b.end(), what.begin(), what.end(),
                              [](std::uint8_t x, char y) { return x == static_cast<std::uint8_t>(y); });
  return it == b.end() ? std::string::npos : static_cast<std::size_t>(it - b.begin());
}

}  // namespace gdiplus_test
