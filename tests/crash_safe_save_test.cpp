// A process killed at any moment of a save leaves the settings file either
// whole-old or whole-new, never cut short or mixed.
#include "platform/FileIO.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Contents(char fill, int lines) {
  std::string s;
  for (int i = 0; i < lines; ++i)
    s += "[section" + std::to_string(i) + "]\r\nkey=" + std::string(60, fill) + "\r\n\r\n";
  return s;
}

TEST(CrashSafeSave, AKilledSaverLeavesTheOldOrTheNewFile) {
  char tmpl[] = "/tmp/vellora-crash-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::filesystem::path dir = tmpl;
  const std::string path = (dir / "Vellora.ini").string();
  const std::string a = Contents('a', 200), b = Contents('b', 150);
  ASSERT_TRUE(platform::ReplaceFileContents(path, a));

  std::mt19937 rng(7);
  int sawA = 0, sawB = 0;
  for (int trial = 0; trial < 1000; ++trial) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i)
        platform::ReplaceFileContents(path, i % 2 ? a : b);
    }
    usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(rng));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::ifstream in(path, std::ios::binary);
    const std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(now == a || now == b) << "trial " << trial << ": " << now.size() << " bytes";
    (now == a ? sawA : sawB)++;
  }
  EXPECT_GT(sawA, 0);
  EXPECT_GT(sawB, 0);
  std::filesystem::remove_all(dir);
}

} // namespace
