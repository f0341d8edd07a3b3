#pragma once
// Shared by the mail-store tests: a scratch directory per test, fixture
// paths, whole-file reads and a splitter that cuts a multipart body into the
// exact bytes of its parts.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "support/raised.h"

namespace mail_test {

namespace fs = std::filesystem;

inline fs::path Fixture(const std::string& name) { return fs::path(LUMIVANE_TEST_DATA) / "mail" / name; }

inline std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "lumivane-mail-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

inline void MakeMaildir(const fs::path& dir) {
  for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(dir / sub);
}

using testsupport::kNoError;
using testsupport::Outcome;
using testsupport::Raised;

// The parts of the multipart body with boundary `boundary`, each exactly as
// it stands between its delimiter line and the line break before the next.
inline std::vector<std::string> PartsOf(const std::string& text, const std::string& boundary) {
  const std::string delimiter = "--" + boundary;
  std::vector<std::string> parts;
  std::size_t at = text.find(delimiter);
  while (at != std::string::npos) {
    std::size_t start = text.find('\n', at);
    if (start == std::string::npos || text.compare(at, delimiter.size() + 2, delimiter + "--") == 0) break;
    ++start;
    std::size_t next = text.find("\n" + delimiter, start);
    if (next == std::string::npos) break;
    std::size_t end = next;
    if (end > start && text[end - 1] == '\r') --end;
    parts.push_back(text.substr(start, end - start));
    at = next + 1;
  }
  return parts;
}

}  // namespace mail_test
