#pragma once
// A fresh folder per test, removed afterwards.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fso_test {

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumivane-fso-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root_, ec);
  }

  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

  void Write(const std::string& relative, const std::string& content = "x") const {
    std::ofstream(Path(relative), std::ios::binary) << content;
  }

  std::string Read(const std::string& relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  void MakeFolder(const std::string& relative) const { std::filesystem::create_directories(Path(relative)); }

  bool Exists(const std::string& relative) const { return std::filesystem::exists(Path(relative)); }

  std::string root_;
};

}  // namespace fso_test
