#pragma once
// The synthetic mail of the benchmark.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct Shape {
  int messages = 200;
  int pictures = 4;
  int kilobytes = 300;
  // The bytes of picture k of message m, when not the noise of PictureBytes.
  std::function<std::string(int m, int k)> picture;
  // Its attachment name, when not that of PictureName.
  std::function<std::string(int m, int k)> name;
};

// The decoded bytes of picture `k` of message `m`: a JPEG start and end
// marker around deterministic noise (noise, so that nothing compresses it
// away on the way).
std::string PictureBytes(int m, int k, const Shape& shape);
std::string PictureName(int m, int k);

// The folder a benchmark keeps its mail and profiles in: `given` (made
// absolute), or a new temporary folder when it is empty. Raises
// std::runtime_error when none can be made.
std::filesystem::path WorkFolder(const std::filesystem::path& given);

// Writes the Maildir (cur/, new/, tmp/) into `dir`, which must not hold a
// Maildir already; returns the bytes written.
std::uintmax_t WriteMaildir(const std::filesystem::path& dir, const Shape& shape);

// Runs this program again, in a process of its own, with the argument
// vector `argv` (its name first); what it wrote on standard output, or none
// when it did not start or did not end with status 0.
std::optional<std::string> RunSelf(std::vector<std::string> argv);

}  // namespace bench
