// Two programs on one profile: the second is turned away before it touches
// anything; programs on different profiles run side by side.
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "host/mail/mail_support.h"

extern char** environ;

namespace {

using namespace mail_test;

struct Ran {
  int status = -1;  // the exit status; -1 when the program did not end by itself
  std::string out;  // standard output and error
};

// Runs the program with `args` and an empty script, its output into `log`.
Ran RunHost(std::vector<std::string> args, const fs::path& log) {
  const fs::path script = log.parent_path() / "empty.script";
  WriteBytes(script, "");
  args.insert(args.begin(), LUMIVANE_HOST_PROGRAM);
  args.insert(args.end(), {"--script", script.string()});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  Ran ran;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) ran.status = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  ran.out = ReadBytes(log);
  return ran;
}

std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(folder)) names.push_back(e.path().lexically_relative(folder));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ProfileLock, ASecondProgramOnOneProfileIsTurnedAwayTouchingNothing) {
  Scratch scratch;
  const fs::path held = scratch.root() / "held";
  const fs::path store = scratch.root() / "store";
  MakeMaildir(store / "Inbox");
  fs::create_directories(held);
  // Held as a running program holds it: its lock and its process id.
  const int fd = ::open((held / "lumivane-host.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  ASSERT_EQ(::write(fd, "4242\n", 5), 5);

  // Without --store the sample mail would be copied into the profile.
  const Ran turned = RunHost({"--profile", held.string()}, scratch.root() / "turned.log");
  EXPECT_EQ(turned.status, 3) << turned.out;
  EXPECT_NE(turned.out.find("lumivane-host: The profile '" + held.string() + "' is in use by process 4242"),
            std::string::npos)
      << turned.out;
  EXPECT_EQ(Entries(held), std::vector<std::string>{"lumivane-host.lock"});  // no registry, no folders, no mail
  EXPECT_EQ(ReadBytes(held / "lumivane-host.lock"), "4242\n");

  const fs::path other = scratch.root() / "other";
  const Ran beside = RunHost({"--profile", other.string(), "--store", store.string()}, scratch.root() / "beside.log");
  EXPECT_EQ(beside.status, 0) << beside.out;
  EXPECT_TRUE(fs::is_directory(other / "registry"));

  ::close(fd);  // the holder ends: the profile is free
  const Ran after = RunHost({"--profile", held.string(), "--store", store.string()}, scratch.root() / "after.log");
  EXPECT_EQ(after.status, 0) << after.out;
  EXPECT_TRUE(fs::is_directory(held / "registry"));
}

}  // namespace
