#include "bench/synthetic.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "platform/unique_fd.h"

namespace bench {

namespace fs = std::filesystem;

namespace {

std::string Base64Lines(const std::string& data) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve(data.size() * 4 / 3 + data.size() / 57 + 8);
  std::size_t column = 0;
  const auto put = [&](char c) {
    out += c;
    if (++column == 76) {
      out += '\n';
      column = 0;
    }
  };
  std::size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    const auto a = static_cast<unsigned char>(data[i]), b = static_cast<unsigned char>(data[i + 1]),
               c = static_cast<unsigned char>(data[i + 2]);
    put(kAlphabet[a >> 2]);
    put(kAlphabet[((a & 3) << 4) | (b >> 4)]);
    put(kAlphabet[((b & 15) << 2) | (c >> 6)]);
    put(kAlphabet[c & 63]);
  }
  if (i < data.size()) {
    const auto a = static_cast<unsigned char>(data[i]);
    const auto b = i + 1 < data.size() ? static_cast<unsigned char>(data[i + 1]) : 0;
    put(kAlphabet[a >> 2]);
    put(kAlphabet[((a & 3) << 4) | (b >> 4)]);
    put(i + 1 < data.size() ? kAlphabet[(b & 15) << 2] : '=');
    put('=');
  }
  if (column != 0) out += '\n';
  return out;
}

}  // namespace

fs::path WorkFolder(const fs::path& given) {
  if (!given.empty()) return fs::absolute(given);
  std::string pattern = (fs::temp_directory_path() / "lumivane-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data()))
    throw std::runtime_error("cannot make a folder in " + fs::temp_directory_path().string());
  return pattern;
}

std::string PictureName(int m, int k) { return "m" + std::to_string(m) + "-p" + std::to_string(k) + ".jpg"; }

std::string PictureBytes(int m, int k, const Shape& shape) {
  const std::size_t size = static_cast<std::size_t>(shape.kilobytes) * 1024;
  std::string bytes(size, '\0');
  std::uint64_t x = 0x9E3779B97F4A7C15ull ^ (static_cast<std::uint64_t>(m) << 20) ^ static_cast<std::uint64_t>(k);
  for (std::size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    bytes[i] = static_cast<char>(x >> 56);
  }
  // SOI, a JFIF APP0 marker, and EOI at the end.
  const char head[] = {'\xFF', '\xD8', '\xFF', '\xE0'};
  for (std::size_t i = 0; i < sizeof head && i < size; ++i) bytes[i] = head[i];
  if (size >= 6) {
    bytes[size - 2] = '\xFF';
    bytes[size - 1] = '\xD9';
  }
  return bytes;
}

std::uintmax_t WriteMaildir(const fs::path& dir, const Shape& shape) {
  if (fs::exists(dir / "cur")) throw std::runtime_error(dir.string() + " holds a Maildir already");
  for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(dir / sub);
  std::uintmax_t total = 0;
  for (int m = 1; m <= shape.messages; ++m) {
    std::string text = "From: Bench <bench@example.org>\nTo: You <you@example.org>\nSubject: Synthetic message " +
                       std::to_string(m) + "\nDate: Fri, 01 May 2026 09:00:00 +0200\nMessage-ID: <bench-" +
                       std::to_string(m) +
                       "@lumivane.example>\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"b\"\n\n"
                       "--b\nContent-Type: text/plain; charset=us-ascii\n\nPictures attached.\n";
    for (int k = 1; k <= shape.pictures; ++k) {
      const std::string name = shape.name ? shape.name(m, k) : PictureName(m, k);
      text += "--b\nContent-Type: image/jpeg; name=\"" + name + "\"\nContent-Disposition: attachment; filename=\"" +
              name + "\"\nContent-Transfer-Encoding: base64\n\n" +
              Base64Lines(shape.picture ? shape.picture(m, k) : PictureBytes(m, k, shape));
    }
    text += "--b--\n";
    char unique[64];
    std::snprintf(unique, sizeof unique, "17780%06d.M%dP1.bench:2,S", m, m);
    std::ofstream out(dir / "cur" / unique, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + (dir / "cur" / unique).string());
    total += text.size();
  }
  return total;
}

std::optional<std::string> RunSelf(std::vector<std::string> argv) {
  std::vector<char*> pointers;
  for (auto& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  platform::UniqueFd reader(fds[0]);
  platform::UniqueFd writer(fds[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, writer.Get(), 1);
  posix_spawn_file_actions_addclose(&actions, reader.Get());
  pid_t pid = 0;
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const int rc = ::posix_spawn(&pid, self.c_str(), &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  writer.Reset();  // the read below ends when the child has gone
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = ::read(reader.Get(), buffer, sizeof buffer)) > 0;)
    out.append(buffer, static_cast<std::size_t>(n));
  reader.Reset();
  int status = 1;
  if (rc == 0) ::waitpid(pid, &status, 0);
  if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

}  // namespace bench
