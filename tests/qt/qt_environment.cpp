// One Qt application for the window tests, drawn offscreen: no display needed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/qt/control_views.h"

namespace {

// Offscreen, Qt says at every window what that platform cannot do.
void Quiet(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith("This plugin does not support")) return;
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
      const std::string dir = "/tmp/lumivane-test-runtime-" + std::to_string(::getuid());
      ::mkdir(dir.c_str(), 0700);
      ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    qInstallMessageHandler(Quiet);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    platform::qt::RegisterControlViews();
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[10] = "qt_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
