#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "desktop/command_line.h"
#include "desktop/desktop_folder.h"
#include "desktop/display_check.h"

namespace porteka {
namespace {

namespace fs = std::filesystem;

// The start-up reads the environment and moves the working directory. Each
// test runs in a process of its own and sets what it needs of these.
class StartUpTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XDG_RUNTIME_DIR",
                             "XDG_DATA_HOME", "HOME"}) {
      ::unsetenv(name);
    }
    std::string pattern = (fs::temp_directory_path() / "porteka-startup-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    scratch_ = pattern;
  }
  void TearDown() override {
    fs::current_path(fs::temp_directory_path());
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
  }

  static void Set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }
  static std::string Get(const char* name) { return std::getenv(name) != nullptr ? std::getenv(name) : "(unset)"; }

  fs::path scratch_;
};

struct Outcome {
  std::optional<int> exit;
  CommandLine line;
  std::string out, err;
};

Outcome Read(std::vector<std::string> words) {
  words.insert(words.begin(), "/usr/games/porteka");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  Outcome outcome;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  outcome.exit = ReadCommandLine(static_cast<int>(argv.size()), argv.data(), outcome.line);
  std::fflush(nullptr);
  outcome.out = testing::internal::GetCapturedStdout();
  outcome.err = testing::internal::GetCapturedStderr();
  return outcome;
}

// The game's options are taken, the two that choose the display become the
// variables the display check reads, and every other Qt option reaches Qt
// with its value, in the form Qt reads.
TEST_F(StartUpTest, TheCommandLineSortsGameOptionsFromQtOnes) {
  const Outcome started = Read({"--desktop", "-style", "fusion", "--watch", "run one.json", "-platform", "offscreen",
                                "-reverse", "-display", ":42", "-geometry", "300x200+1+2"});
  EXPECT_EQ(started.exit, std::nullopt) << started.err;
  EXPECT_TRUE(started.line.desktop);
  EXPECT_EQ(started.line.watchFile, "run one.json");
  EXPECT_TRUE(started.line.platformOption);
  EXPECT_EQ(Get("QT_QPA_PLATFORM"), "offscreen");
  EXPECT_EQ(Get("DISPLAY"), ":42");
  EXPECT_EQ(started.line.qtArguments,
            (std::vector<std::string>{"/usr/games/porteka", "-geometry", "300x200+1+2", "-style", "fusion", "-reverse"}));
  EXPECT_EQ(started.out + started.err, "");
}

// Help and version on stdout and success; anything the game does not know,
// an empty word included, on stderr with the usage, and status 2.
TEST_F(StartUpTest, TheCommandLineAnswersOrRefusesWithoutStarting) {
  const Outcome help = Read({"-h"}), version = Read({"-v"});
  EXPECT_EQ(help.exit, 0);
  EXPECT_EQ(help.out.rfind("Usage: porteka [options]", 0), 0u) << help.out;
  EXPECT_EQ(version.exit, 0);
  EXPECT_EQ(version.out.rfind("porteka ", 0), 0u) << version.out;
  EXPECT_EQ(help.err + version.err, "");

  for (const auto& [words, complaint] : std::initializer_list<std::pair<std::vector<std::string>, std::string>>{
           {{"--bogus"}, "porteka: Unknown option 'bogus'."},
           {{""}, "porteka: Unexpected argument ''."},
           {{"--desktop", "stray"}, "porteka: Unexpected argument 'stray'."},
           {{"--watch"}, "porteka: Missing value after '--watch'."}}) {
    const Outcome refused = Read(words);
    EXPECT_EQ(refused.exit, 2) << complaint;
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.rfind(complaint + "\nUsage: porteka", 0), 0u) << refused.err;
  }
}

// A desktop start moves into its data folder, made private where missing; a
// relative XDG_DATA_HOME is ignored for HOME's default. Where the folder
// cannot be made the game stays put and says which folder and why.
TEST_F(StartUpTest, ADesktopStartMovesIntoTheDataFolderOrSaysWhyNot) {
  const fs::path home = scratch_ / "home";
  fs::create_directories(home);
  Set("HOME", home.string());
  Set("XDG_DATA_HOME", (scratch_ / "data" / "deeper").string());
  testing::internal::CaptureStderr();
  EnterDesktopFolder();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(fs::current_path(), scratch_ / "data" / "deeper" / "porteka");
  for (const fs::path& made : {scratch_ / "data", scratch_ / "data" / "deeper" / "porteka"}) {
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }

  Set("XDG_DATA_HOME", "relative/data");
  EnterDesktopFolder();
  EXPECT_EQ(fs::current_path(), home / ".local" / "share" / "porteka");

  std::ofstream(scratch_ / "a file") << "x";
  Set("XDG_DATA_HOME", (scratch_ / "a file").string());
  testing::internal::CaptureStderr();
  EnterDesktopFolder();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "porteka: cannot use the records folder " + (scratch_ / "a file" / "porteka").string() +
                " (Not a directory); records stay in the working directory\n");
  EXPECT_EQ(fs::current_path(), home / ".local" / "share" / "porteka");
}

// A platform whose plugin is missing falls back to X, named with what asked
// for it; a list or options after the name still find an installed plugin.
TEST_F(StartUpTest, OnlyAPlatformWithNoPluginFallsBackToX) {
  for (const std::string asked : {"offscreen", "nosuchplatform;offscreen", "offscreen:size=800x600"}) {
    Set("QT_QPA_PLATFORM", asked);
    testing::internal::CaptureStderr();
    FallBackToXForMissingPlugins("QT_QPA_PLATFORM=");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Get("QT_QPA_PLATFORM"), asked);
  }
  Set("QT_QPA_PLATFORM", "nosuchplatform:x=1");
  testing::internal::CaptureStderr();
  FallBackToXForMissingPlugins("-platform ");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "porteka: Qt has no platform plugin for -platform nosuchplatform:x=1; using X instead\n");
  EXPECT_EQ(Get("QT_QPA_PLATFORM"), "xcb");
}

// What the start-up says when the display cannot be reached, so that Qt never
// aborts on it; platforms that need no display pass.
TEST_F(StartUpTest, AnUnreachableDisplayIsNamedBeforeQtStarts) {
  Set("XDG_RUNTIME_DIR", scratch_.string());
  for (const char* platform : {"offscreen", "minimal;xcb", "vnc:size=800x600"}) {
    Set("QT_QPA_PLATFORM", platform);
    EXPECT_EQ(DisplayProblem(), "") << platform;
  }
  ::unsetenv("QT_QPA_PLATFORM");
  EXPECT_EQ(DisplayProblem(), "DISPLAY is not set");
  Set("QT_QPA_PLATFORM", ";xcb");  // Qt skips the empty entry, and so does the check
  EXPECT_EQ(DisplayProblem(), "DISPLAY is not set");
  Set("DISPLAY", ":64999");
  EXPECT_EQ(DisplayProblem(), "cannot connect to the X server named by DISPLAY");

  // No DISPLAY but a Wayland name: the compositor is asked instead.
  ::unsetenv("DISPLAY");
  ::unsetenv("QT_QPA_PLATFORM");
  Set("WAYLAND_DISPLAY", "no-compositor-here");
  EXPECT_EQ(DisplayProblem(), "DISPLAY is not set and no Wayland compositor answers at WAYLAND_DISPLAY");
  EXPECT_EQ(Get("QT_QPA_PLATFORM"), "(unset)");
  Set("QT_QPA_PLATFORM", "wayland;xcb");
  EXPECT_EQ(DisplayProblem(), "no Wayland compositor answers at WAYLAND_DISPLAY");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(DisplayProblem(), "XDG_RUNTIME_DIR is not set");
}

}  // namespace
}  // namespace porteka
