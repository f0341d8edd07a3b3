#include "app/options.h"

namespace app {

ParsedOptions ParseOptions(const std::vector<std::string>& args) {
  ParsedOptions out;
  Options& o = out.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // "--name=value" and "--name value" both work.
    std::string name = a;
    std::optional<std::string> value;
    if (a.rfind("--", 0) == 0) {
      if (const auto eq = a.find('='); eq != std::string::npos) {
        name = a.substr(0, eq);
        value = a.substr(eq + 1);
      }
    }
    const auto take = [&]() -> std::optional<std::string> {
      if (value) return value;
      if (i + 1 < args.size()) return args[++i];
      out.error = "option " + name + " needs a value";
      return std::nullopt;
    };
    if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--store") {
      if (auto v = take()) o.store = *v;
    } else if (name == "--profile") {
      if (auto v = take()) o.profile = *v;
    } else if (name == "--host-version") {
      if (auto v = take()) o.hostVersion = *v;
    } else if (name == "--terminal") {
      o.terminal = true;
    } else if (name == "--script") {
      if (auto v = take()) o.script = *v;
    } else {
      out.error = "unknown option " + a;
    }
    if (!out.error.empty()) return out;
  }
  if (o.hostVersion.empty()) out.error = "the host version must not be empty";
  return out;
}

std::string Usage() {
  return R"(Usage: lumivane-host [OPTIONS]

Plays the mail client with the Lumivane add-in over a real mail store.

Options:
  --store DIR          the mail store: a Maildir, or a folder of Maildir
                       folders and folders of .eml files (default: the bundled
                       sample mail, copied into the profile on first use)
  --profile DIR        where the registry hives, the special folders
                       (Documents, Pictures, Desktop, AppData/Local with the
                       temporary picture folder) and the copy of the sample
                       mail live (default: the user's XDG folders)
  --host-version TEXT  the version the host reports (default 11.0.0.8217;
                       9.0.0.2711 tries the old object library)
  --terminal           type commands at the terminal instead of opening
                       windows
  --script FILE        run the commands of FILE ("-": standard input)
  -h, --help           this text

Three ways to run:
  windows    (the default when a display is there: DISPLAY or WAYLAND_DISPLAY)
             the mail client's main window with the add-in's toolbar; message
             boxes and dialogs are real windows that you answer
  terminal   (--terminal, or when no display is there) commands typed at the
             prompt; boxes and dialogs ask at the terminal
  script     (--script FILE, or commands piped into standard input) the
             commands of the file; time is simulated (wait MS fires the timers
             at once) and programs are not started (their starts are printed);
             windows are drawn offscreen, so "snapshot" writes pictures of them
In windows and at the terminal time and program starts are real.
Everything the add-in does is printed on standard output in all three.

Exit status: 0 when every command ran, 1 when a command failed or the script
stopped, 2 for wrong options, 3 when the store or the profile cannot be used.
Type "help" at the prompt for the commands.
)";
}

}  // namespace app
