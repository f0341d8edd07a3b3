// lumivane-host: the stand-in mail client with the add-in, over real mail.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>

#include "app/console.h"
#include "app/options.h"
#include "app/screen.h"
#include "app/session.h"
#include "app/transcript.h"
#include "platform/qt/screen_ui.h"
#include "runtime/error.h"

extern char** environ;

int main(int argc, char** argv) {
  const app::ParsedOptions parsed = app::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::cerr << "lumivane-host: " << parsed.error << "\n\n" << app::Usage();
    return 2;
  }
  const app::Options& options = parsed.options;
  if (options.help) {
    std::cout << app::Usage();
    return 0;
  }

  std::ifstream scriptFile;
  std::istream* script = nullptr;
  if (options.script && options.script->string() != "-") {
    scriptFile.open(*options.script);
    if (!scriptFile) {
      std::cerr << "lumivane-host: cannot read the script " << options.script->string() << "\n";
      return 2;
    }
    script = &scriptFile;
  } else if (options.script) {
    script = &std::cin;
  }
  // Windows when a display is there; else the terminal, or a script piped in.
  const bool displayNamed = app::DisplayNamed(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
  bool windows = script == nullptr && !options.terminal && displayNamed;
  if (script == nullptr && !windows && !::isatty(0)) script = &std::cin;
  const bool interactive = script == nullptr;

  app::Screen screen(windows);
  if (windows && !screen.OnScreen()) {
    std::cout << "The display could not be reached, so the program runs at the terminal (--terminal does this "
                 "directly).\n";
    windows = false;
  } else if (!windows && interactive && !options.terminal) {
    std::cout << "No display is set (DISPLAY, WAYLAND_DISPLAY), so the program runs at the terminal.\n";
  }
  if (const std::string fonts = screen.FontProblem(); !fonts.empty()) std::cout << "Warning: " << fonts << "\n";

  app::TerminalConsole console;
  app::SessionSetup setup;
  setup.options = options;
  setup.sampleMail = LUMIVANE_SAMPLE_MAIL;
  setup.installPrefix = LUMIVANE_INSTALL_PREFIX;
  setup.environment = platform::shell::Environment::FromEntries(environ);
  setup.scripted = !interactive;
  setup.console = interactive && !windows ? &console : nullptr;
  setup.screen = &screen;
  setup.person = windows;

  std::unique_ptr<app::Session> session;
  try {
    session = std::make_unique<app::Session>(std::cout, std::move(setup));
  } catch (const runtime::Error& e) {
    std::cerr << "lumivane-host: " << app::OneLine(e.Description()) << "\n";
    return 3;
  }

  if (windows) {
    screen.ShareWorkArea();
    // The person works in the windows; the program ends when the mail
    // client's last window closes.
    platform::qt::TimerPump pump(platform::forms::CurrentLoop());
    if (!session->Run("start")) return 1;
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      session->Idle();
      if (!session->Client().Running()) QApplication::quit();
    });
    watch.start(250);
    QApplication::exec();
    session.reset();
    return 0;
  }
  if (interactive) {
    std::cout << "Type start to start the mail client, help for the commands, quit to end.\n";
    while (auto line = console.ReadCommand("lumivane-host> ")) {
      session->Run(*line);
      if (session->Quit()) break;
    }
    return 0;
  }
  std::string line;
  long number = 0;
  while (std::getline(*script, line)) {
    ++number;
    if (!session->Run(line)) {
      std::cout << "script stopped at line " << number << "\n";
      session.reset();
      return 1;
    }
    if (session->Quit()) break;
  }
  if (!session->Finish()) {
    std::cout << "script stopped at its end\n";
    return 1;
  }
  return 0;
}
