// ctgtilbo without /AUTO opens the desktop window from its module; without a
// display or without the module it says how to convert unattended instead.

#include "ctgtilbo/DesktopLauncher.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>

#include "ctgtilbo/Ctgtilbo.h"

#include "support/SuiteEnvironment.h"

namespace tilbo {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadWholeFile;
using testing::SuiteEnvironment;
using testing::TempDir;

constexpr int kExitCouldNotStart = 2;

// Runs a shell command, its standard output and error going to the file `output`.
int RunCommand(const std::string& command, const std::string& output) {
  const int status = std::system((command + " >'" + output + "' 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kProgram = std::string(TILBO_BINARY_DIR) + "/ctgtilbo";
const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

TEST(DesktopLauncher, DisplayIsANamedServerOrAPlatformThatNeedsNone) {
  EXPECT_FALSE(DisplayAvailable(nullptr, nullptr, nullptr));
  EXPECT_FALSE(DisplayAvailable("", "", ""));
  EXPECT_TRUE(DisplayAvailable(":0", nullptr, nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, "wayland-0", nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, nullptr, "offscreen"));
  // Qt told to use X11 or Wayland still needs the server.
  EXPECT_FALSE(DisplayAvailable(nullptr, nullptr, "xcb"));
  EXPECT_TRUE(DisplayAvailable(":1", nullptr, "xcb"));
}

TEST(DesktopLauncher, WithoutAReachableDisplayTheProgramPointsToAutoConvert) {
  const std::pair<Environment, const char*> cases[] = {
      {{}, "no display to open the window on"},
      {{.display = ":4711"}, "no display to open the window on (the display server does not answer)"}};
  for (const auto& [env, reason] : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCtgtilbo({"ctgtilbo"}, out, err, env), kExitCouldNotStart);
    EXPECT_EQ(err.str(), "ctgtilbo: " + std::string(reason) +
                             "; convert a file unattended with: ctgtilbo /AUTO /SOURCE=FILE /DEST=DIR/ /LOG=LOGFILE\n");
  }
}

TEST(DesktopLauncher, ADisplayIsReachableWhenItsServerAnswers) {
  // An X server stand-in for display 4712: its socket in the abstract namespace.
  const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string name = "/tmp/.X11-unix/X4712";
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), offsetof(sockaddr_un, sun_path) + 1 + name.size()), 0);
  ASSERT_EQ(::listen(server, 4), 0);
  EXPECT_TRUE(DisplayReachable(":4712", nullptr, nullptr, nullptr));
  EXPECT_TRUE(DisplayReachable("unix:4712.0", nullptr, "xcb", nullptr));
  EXPECT_FALSE(DisplayReachable(":4711", "wayland-9", nullptr, "/nonexistent"));
  EXPECT_FALSE(DisplayReachable("localhost:4711", nullptr, nullptr, nullptr));
  EXPECT_FALSE(DisplayReachable(":4712", nullptr, "wayland", nullptr));
  EXPECT_TRUE(DisplayReachable(":4711", nullptr, "xcb;offscreen", nullptr));
  ::close(server);
}

// The real binary: only a copy alone in a folder lacks the module beside it.
TEST(DesktopLauncher, WithoutTheWindowModuleTheProgramPointsToAutoConvert) {
  SuiteEnvironment environment;
  TempDir alone;
  const std::string copy = alone.file("ctgtilbo");
  std::filesystem::copy_file(kProgram, copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
  const std::string output = alone.file("output");
  EXPECT_EQ(RunCommand(kNoDisplay + "QT_QPA_PLATFORM=offscreen '" + copy + "'", output), kExitCouldNotStart);
  EXPECT_EQ(ReadWholeFile(output), AutoConvertHint("this build has no desktop window") + "\n");
}

TEST(DesktopLauncher, TheProgramItselfLinksNoGuiLibrary) {
  TempDir dir;
  ASSERT_EQ(RunCommand("ldd '" + kProgram + "'", dir.file("ldd")), 0);
  EXPECT_THAT(ReadWholeFile(dir.file("ldd")), AllOf(HasSubstr("libc.so"), Not(HasSubstr("libQt"))));
}

}  // namespace
}  // namespace tilbo
