// The one QApplication of the window tests. It draws offscreen, so the tests
// need no display; Qt wants a private runtime folder, made when the
// environment has none.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>

namespace {

QtMessageHandler g_previous = nullptr;

// The offscreen platform says on every window that it cannot do what only a
// window manager does; that is expected here and drowns what matters.
void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith("This plugin does not support")) return;
  if (g_previous != nullptr) g_previous(type, context, message);
}

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (::getenv("XDG_RUNTIME_DIR") == nullptr) {
      std::string pattern = (std::filesystem::temp_directory_path() / "lumivane-qt-XXXXXX").string();
      if (::mkdtemp(pattern.data()) != nullptr) {
        ::chmod(pattern.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
        runtimeDir_ = pattern;
      }
    }
    g_previous = qInstallMessageHandler(Filter);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }

  void TearDown() override {
    app_.reset();
    qInstallMessageHandler(g_previous);
    if (!runtimeDir_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(runtimeDir_, ec);
    }
  }

 private:
  int argc_ = 1;
  char name_[9] = "qt_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
  std::string runtimeDir_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
