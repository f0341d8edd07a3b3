#pragma once
// A fresh folder under the system's temporary folder, removed at the end of
// the test; nothing a test does reaches the real home folder.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumivane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

  // Creates the folder and its parents; returns its path.
  std::string MakeDir(const std::string& rel) const {
    std::filesystem::create_directories(*this / rel);
    return *this / rel;
  }
  // Writes a file (parents created); returns its path.
  std::string Write(const std::string& rel, const std::string& content = {}) const {
    const std::string p = *this / rel;
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }

 private:
  std::string path_;
};

}  // namespace testsupport
