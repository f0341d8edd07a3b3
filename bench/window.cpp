// lumivane-bench-window [--messages N] [--runs R] [--work DIR]
// lumivane-bench-window --case run --profile DIR [--store DIR] [--snapshot FILE.png]
//
// Times the start of the program's windows, offscreen: from the start of
// main to the first paint of the mail client's main window, with the add-in
// loaded from its registration and its toolbar drawn, over
//  (a) the sample mail, and
//  (b) one folder of N synthetic messages (10,000 by default; made once and
//      kept in the work folder);
// then, over (b), how long one page of the message list takes to read and
// paint while scrolling through the whole folder. Each start is a fresh
// process (this program started again with --case); the figures are the
// median of R runs after one run that warms the profile and the file cache.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/profile.h"
#include "app/registration.h"
#include "bench/synthetic.h"
#include "host/addin.h"
#include "host/mail_link.h"
#include "host/qt/client_windows.h"
#include "host/qt/explorer_window.h"
#include "host/rdo.h"
#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/ui.h"
#include "platform/qt/control_views.h"
#include "platform/qt/screen_ui.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"

extern char** environ;

namespace fs = std::filesystem;
namespace forms = platform::forms;
using Clock = std::chrono::steady_clock;

namespace {

const Clock::time_point kStart = Clock::now();  // as close to the start of main as a static gets

double Ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(t - kStart).count(); }

// Catches the first paint of any widget of `window`, then notes the moment
// the whole frame is done (the paint pass ends before queued calls run).
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget != nullptr && widget->window() == window_) {
        seen_ = true;
        QMetaObject::invokeMethod(
            this, [this] { done = Clock::now(); }, Qt::QueuedConnection);
      }
    }
    return false;
  }
  std::optional<Clock::time_point> done;

 private:
  QWidget* window_;
  bool seen_ = false;
};

// The offscreen platform says on every window that it cannot do what only a
// window manager does; that is expected here.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (!message.startsWith("This plugin does not support")) qt_message_output(type, context, message);
}

// One start of the windows; prints "key value" lines for the parent, and
// the main window as a picture when `snapshot` names a file.
int RunCase(const fs::path& store, const fs::path& profile, bool scroll, const std::string& snapshot) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietOffscreen);
  int argc = 1;
  char name[] = "lumivane-bench-window";
  char* argv[] = {name, nullptr};
  QApplication qapp(argc, argv);
  const auto tApp = Clock::now();

  app::Options options;
  options.profile = profile;
  if (!store.empty()) options.store = store;
  const auto environment = platform::shell::Environment::FromEntries(environ);
  platform::shell::SetEnvironment(environment);
  const app::Profile p = app::SetUpProfile(options, environment, LUMIVANE_SAMPLE_MAIL, "/usr/local");
  forms::SetEventLoop(std::make_shared<forms::EventLoop>(std::make_shared<forms::RealClock>()));
  platform::qt::RegisterControlViews();
  platform::qt::FormViews views;
  auto boxes = std::make_shared<forms::ScriptedMessageBoxes>();
  forms::SetMessageBoxResponder(boxes);
  forms::SetUserInterface(
      std::make_shared<platform::qt::DrawnUserInterface>(std::make_shared<forms::ScriptedUserInterface>(), views));
  auto classes = std::make_shared<platform::com::ClassRegistry>();
  platform::com::SetClassRegistry(classes);
  host::RegisterRDOSession(*classes);
  std::string why;
  if (!app::RegisterAddIn(why)) {
    std::cerr << "the add-in is not registered: " << why << "\n";
    return 1;
  }
  int status = 0;
  {
    host::Host client;
    auto link = host::MailLink::Attach(*client.Store(), host::mail::Store::Open(p.store));
    host::qt::ClientWindows windows(client, link);
    windows.UseFormViews(views);
    host::StartOptions start;
    start.explorerOptions.folder = link->FolderAt("Inbox");
    client.Start(start);
    const auto tHost = Clock::now();
    if (client.AddIns().empty()) {
      std::cerr << "the add-in did not load\n";
      return 1;
    }
    auto* window = windows.ExplorerWindowOf(client.App()->ActiveExplorer());
    if (window == nullptr) {
      std::cerr << "no main window\n";
      return 1;
    }
    FirstPaint paint(window);
    while (!paint.done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const auto tPaint = *paint.done;
    QTableView* list = window->messageList();
    std::printf("rows %d\n", list->model()->rowCount());
    std::printf("qapplication %.1f\nhost %.1f\npaint %.1f\n", Ms(tApp), Ms(tHost), Ms(tPaint));

    if (!snapshot.empty()) {
      const std::string failure = platform::qt::SaveSnapshot(*window, snapshot);
      if (!failure.empty()) std::cerr << "no snapshot: " << failure << "\n";
    }
    if (scroll) {
      // Page by page through the whole folder, each page read and painted.
      QScrollBar* bar = list->verticalScrollBar();
      const int pages = 200;
      const int step = std::max(1, bar->maximum() / pages);
      double worst = 0;
      const auto t0 = Clock::now();
      int painted = 0;
      for (int value = step; value <= bar->maximum(); value += step) {
        const auto t = Clock::now();
        bar->setValue(value);
        list->viewport()->repaint();
        worst = std::max(worst, std::chrono::duration<double, std::milli>(Clock::now() - t).count());
        ++painted;
      }
      const double total = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
      std::printf("page %.2f\nworstpage %.2f\n", painted ? total / painted : 0.0, worst);
    }
    if (!boxes->Log().empty()) {
      std::cerr << "a message box came up during start-up: " << boxes->Log().front().prompt << "\n";
      status = 1;
    }
    client.Exit();
  }
  forms::DiscardAllForms();
  forms::SetUserInterface(nullptr);
  forms::SetMessageBoxResponder(nullptr);
  forms::SetEventLoop(nullptr);
  platform::com::SetClassRegistry(nullptr);
  if (auto r = platform::registry::Current()) r->Flush();
  platform::registry::SetCurrent(nullptr);
  platform::shell::Reset();
  return status;
}

// Runs this program again with `args`; its "key value" lines.
std::map<std::string, double> Child(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"/proc/self/exe"};
  all.insert(all.end(), args.begin(), args.end());
  const std::optional<std::string> out = bench::RunSelf(all);
  std::map<std::string, double> values;
  if (!out) return values;
  std::istringstream lines(*out);
  std::string key;
  double value = 0;
  while (lines >> key >> value) values[key] = value;
  return values;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int messages = 10000;
  int runs = 5;
  fs::path work;
  std::string mode;
  fs::path store, profile;
  bool scroll = false;
  std::string snapshot;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    try {
      if (a == "--messages" && hasValue) {
        messages = std::stoi(argv[++i]);
      } else if (a == "--runs" && hasValue) {
        runs = std::max(1, std::stoi(argv[++i]));
      } else if (a == "--work" && hasValue) {
        work = argv[++i];
      } else if (a == "--case" && hasValue) {
        mode = argv[++i];
      } else if (a == "--store" && hasValue) {
        store = argv[++i];
      } else if (a == "--profile" && hasValue) {
        profile = argv[++i];
      } else if (a == "--snapshot" && hasValue) {
        snapshot = argv[++i];
      } else if (a == "--scroll") {
        scroll = true;
      } else {
        std::cerr << "usage: lumivane-bench-window [--messages N] [--runs R] [--work DIR]\n";
        return 2;
      }
    } catch (const std::exception&) {
      std::cerr << "lumivane-bench-window: " << a << " needs a number\n";
      return 2;
    }
  }
  if (!mode.empty()) {
    try {
      return RunCase(store, profile, scroll, snapshot);
    } catch (const std::exception& e) {
      std::cerr << "lumivane-bench-window: " << e.what() << "\n";
      return 1;
    }
  }

  work = bench::WorkFolder(work);
  if (::getenv("XDG_RUNTIME_DIR") == nullptr) {
    const fs::path runtime = work / "runtime";
    fs::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  const fs::path big = work / ("maildir-" + std::to_string(messages) + "x1x1k");
  if (!fs::exists(big / "cur")) {
    std::cout << "making " << big.string() << " ...\n";
    bench::Shape shape;
    shape.messages = messages;
    shape.pictures = 1;
    shape.kilobytes = 1;
    bench::WriteMaildir(big, shape);
  }

  struct Case {
    const char* title;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"sample mail", {"--case", "run", "--profile", (work / "profile-sample").string()}},
      {"synthetic folder",
       {"--case", "run", "--profile", (work / "profile-big").string(), "--store", big.string(), "--scroll"}},
  };
  int failures = 0;
  for (const Case& c : cases) {
    Child(c.args);  // warms the profile (the first run copies the sample mail) and the file cache
    std::map<std::string, std::vector<double>> all;
    for (int r = 0; r < runs; ++r) {
      const auto values = Child(c.args);
      if (values.empty()) {
        ++failures;
        continue;
      }
      for (const auto& [k, v] : values) all[k].push_back(v);
    }
    if (all.empty()) {
      std::printf("%s: the run failed\n", c.title);
      continue;
    }
    std::printf(
        "%s (%.0f messages in the folder shown): first paint of the main window %.1f ms after main "
        "(QApplication %.1f ms, host started with the add-in %.1f ms)\n",
        c.title, Median(all["rows"]), Median(all["paint"]), Median(all["qapplication"]), Median(all["host"]));
    if (all.count("page"))
      std::printf("  scrolling: %.2f ms per page read and painted (worst %.2f ms)\n", Median(all["page"]),
                  Median(all["worstpage"]));
  }
  std::printf("median of %d runs; offscreen\n", runs);
  return failures == 0 ? 0 : 1;
}
