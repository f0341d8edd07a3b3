// lumivane-bench-memory [--opens N] [--work DIR]
//
// Memory and time of the preview window, drawn offscreen, each case in a
// process of its own (this program started again with --case) so that its
// peak resident memory is its own:
//  (a) a hostile EXIF block: a TIFF of 60 MB whose ColorSpace tag holds 30
//      million values; its preview is opened and closed three times: the
//      time from the click to the window shown, each time, and the peak
//      resident memory of the process;
//  (b) the preview opened and closed N times (1,000 by default) on the
//      first message of the sample mail: resident memory after 10 and after
//      N, and what each open kept on average.
// The files are made by this program and kept in the work folder.
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/screen.h"
#include "app/session.h"
#include "bench/synthetic.h"
#include "platform/gdiplus/file_pictures.h"
#include "platform/qt/pictures.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// "VmRSS" or "VmHWM" of this process, in MB.
double StatusMb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024.0;
  return 0;
}

// ---- hostile files ----------------------------------------------------------

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

struct Entry {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::uint32_t value;  // the value itself (left-aligned) or the offset of the values
};

void PutIfd(std::string& out, const std::vector<Entry>& entries) {
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  for (const Entry& e : entries) {
    Put16(out, e.tag);
    Put16(out, e.type);
    Put32(out, e.count);
    Put32(out, e.value);
  }
  Put32(out, 0);
}

// A little-endian TIFF of 16 x 16 grey pixels whose EXIF directory holds a
// ColorSpace (40961) of `values` SHORTs, every one 1 (sRGB), and an exposure
// time of 1/60.
std::string HostileTiff(std::uint32_t values) {
  constexpr std::uint32_t kIfd0 = 8;
  constexpr std::uint32_t kIfd0Entries = 13;
  constexpr std::uint32_t kExif = kIfd0 + 2 + kIfd0Entries * 12 + 4;
  constexpr std::uint32_t kExifEntries = 2;
  constexpr std::uint32_t kRational = kExif + 2 + kExifEntries * 12 + 4;  // x and y resolution, exposure time
  constexpr std::uint32_t kPixels = kRational + 3 * 8;
  const std::uint32_t colorSpace = kPixels + 256;
  std::string out = "II";
  Put16(out, 42);
  Put32(out, kIfd0);
  PutIfd(out, {{256, 3, 1, 16},
               {257, 3, 1, 16},
               {258, 3, 1, 8},
               {259, 3, 1, 1},
               {262, 3, 1, 1},
               {273, 4, 1, kPixels},
               {277, 3, 1, 1},
               {278, 3, 1, 16},
               {279, 4, 1, 256},
               {282, 5, 1, kRational},
               {283, 5, 1, kRational + 8},
               {296, 3, 1, 2},
               {34665, 4, 1, kExif}});
  PutIfd(out, {{33434, 5, 1, kRational + 16}, {40961, 3, values, colorSpace}});
  for (std::uint32_t v : {72u, 1u, 72u, 1u, 1u, 60u}) Put32(out, v);
  out.append(256, '\x80');
  out.reserve(out.size() + 2ull * values);
  for (std::uint32_t i = 0; i < values; ++i) Put16(out, 1);
  return out;
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---- the cases, each in a process of its own --------------------------------

struct Run {
  app::Screen screen{false};
  std::ostringstream transcript;
  std::unique_ptr<app::Session> session;

  Run(const fs::path& store, const fs::path& profile) {
    app::SessionSetup setup;
    if (!store.empty()) setup.options.store = store;
    setup.options.profile = profile;
    setup.sampleMail = LUMIVANE_SAMPLE_MAIL;
    setup.publishDesktop = false;
    setup.screen = &screen;
    session = std::make_unique<app::Session>(transcript, std::move(setup));
    Must("start");
    Must("select 1");
  }
  ~Run() { session->Run("stop"); }

  void Must(const std::string& line) {
    if (!session->Run(line)) throw std::runtime_error("\"" + line + "\" failed:\n" + transcript.str());
  }
  // Opens the preview; the milliseconds until the click returned with the
  // window shown.
  double Open() {
    const auto t = Clock::now();
    Must("click \"&Lumivane...\"");
    const double ms = Ms(t);
    if (screen.Views().WindowNamed("frmMain") == nullptr) throw std::runtime_error("the preview did not open");
    platform::qt::PictureRequest::WaitForAll();
    return ms;
  }
  void Close() { Must("form frmMain close"); }
};

int HostileCase(const fs::path& store, const fs::path& profile, const fs::path& file) {
  {
    Run run(store, profile);
    for (int i = 0; i < 3; ++i) {
      std::printf("open%d %.0f\n", i + 1, run.Open());
      run.Close();
    }
    std::printf("peak %.0f\n", StatusMb("VmHWM"));
  }
  // For reference: the picture library's load and a decode for the screen alone.
  auto t = Clock::now();
  platform::gdiplus::FilePictures().Load(file.string());
  std::printf("load %.0f\n", Ms(t));
  t = Clock::now();
  platform::qt::DecodePicture(QString::fromStdString(file.string()), QSize(96, 96));
  std::printf("decode %.0f\n", Ms(t));
  return 0;
}

int ReopenCase(const fs::path& profile, int opens) {
  Run run({}, profile);
  double after10 = 0;
  for (int i = 1; i <= opens; ++i) {
    run.Open();
    run.Close();
    if (i == 10) after10 = StatusMb("VmRSS");
  }
  std::printf("after10 %.1f\nafterN %.1f\npeak %.1f\n", after10, StatusMb("VmRSS"), StatusMb("VmHWM"));
  return 0;
}

// Runs this program again with `args`; its "key value" lines, or nothing
// when it failed (its errors go to standard error).
std::vector<std::pair<std::string, double>> Child(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"lumivane-bench-memory"};
  all.insert(all.end(), args.begin(), args.end());
  const std::optional<std::string> out = bench::RunSelf(all);
  std::vector<std::pair<std::string, double>> values;
  if (!out) return values;
  std::istringstream lines(*out);
  std::string key;
  double value = 0;
  while (lines >> key >> value) values.emplace_back(key, value);
  return values;
}

double Value(const std::vector<std::pair<std::string, double>>& values, const std::string& key) {
  for (const auto& [k, v] : values)
    if (k == key) return v;
  return 0;
}

// A Maildir of one message with `picture` attached under `name`.
fs::path MailWith(const fs::path& work, const std::string& name, const std::string& bytes) {
  const fs::path store = work / ("maildir-" + name);
  if (fs::exists(store / "cur")) return store;
  bench::Shape shape;
  shape.messages = 1;
  shape.pictures = 1;
  shape.picture = [&](int, int) { return bytes; };
  shape.name = [&](int, int) { return name; };
  bench::WriteMaildir(store, shape);
  return store;
}

}  // namespace

int main(int argc, char** argv) {
  int opens = 1000;
  fs::path work, store, profile, picture;
  std::string mode;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--opens" && hasValue) {
      opens = std::max(10, std::atoi(argv[++i]));
    } else if (a == "--work" && hasValue) {
      work = argv[++i];
    } else if (a == "--case" && hasValue) {
      mode = argv[++i];
    } else if (a == "--store" && hasValue) {
      store = argv[++i];
    } else if (a == "--profile" && hasValue) {
      profile = argv[++i];
    } else if (a == "--picture" && hasValue) {
      picture = argv[++i];
    } else {
      std::cerr << "usage: lumivane-bench-memory [--opens N] [--work DIR]\n";
      return 2;
    }
  }
  try {
    if (mode == "hostile") return HostileCase(store, profile, picture);
    if (mode == "reopen") return ReopenCase(profile, opens);
    if (!mode.empty()) throw std::runtime_error("no case " + mode);

    work = bench::WorkFolder(work);
    struct Hostile {
      const char* title;
      std::string name;
      std::uint32_t values;
    };
    const Hostile cases[] = {{"TIFF, ColorSpace of 30 million values", "colorspace.tif", 30'000'000}};
    int failures = 0;
    for (const Hostile& c : cases) {
      const fs::path file = work / c.name;
      if (!fs::exists(file)) {
        std::ofstream(file, std::ios::binary) << HostileTiff(c.values);
      }
      const fs::path mail = MailWith(work, c.name, ReadFile(file));
      fs::remove_all(work / "profile-hostile");
      const auto values = Child({"--case", "hostile", "--store", mail.string(), "--profile",
                                 (work / "profile-hostile").string(), "--picture", file.string()});
      if (values.empty()) {
        std::printf("(a) %s: the run failed\n", c.title);
        ++failures;
        continue;
      }
      std::printf("(a) %s (%.2f MB): window shown in %.0f, %.0f, %.0f ms; peak resident memory %.0f MB\n", c.title,
                  static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0), Value(values, "open1"),
                  Value(values, "open2"), Value(values, "open3"), Value(values, "peak"));
      std::printf("    for reference: the picture library loads it in %.0f ms, a thumbnail decodes in %.0f ms\n",
                  Value(values, "load"), Value(values, "decode"));
    }
    fs::remove_all(work / "profile-sample");
    const auto values =
        Child({"--case", "reopen", "--opens", std::to_string(opens), "--profile", (work / "profile-sample").string()});
    if (values.empty()) {
      std::printf("(b) the run failed\n");
      return 1;
    }
    const double after10 = Value(values, "after10");
    const double afterN = Value(values, "afterN");
    std::printf(
        "(b) preview opened and closed %d times on the sample mail: resident memory %.1f MB after 10, %.1f MB "
        "after %d (%+.1f MB, %.1f KB per open)\n",
        opens, after10, afterN, opens, afterN - after10, (afterN - after10) * 1024.0 / (opens - 10));
    return failures == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "lumivane-bench-memory: " << e.what() << "\n";
    return 1;
  }
}
