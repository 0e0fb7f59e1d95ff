// A sound server that takes the connection and never answers holds SDL for
// half a minute. The game must start anyway: STInit gives up waiting well
// within a second, and until the device comes up the other calls go on
// without it. CTest's timeout catches a start-up or an exit that hangs.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sound/sound_device_status.h"
#include "sound/stools.h"
#include "tests/sound/sound_test_files.h"

namespace porteka {
namespace {

TEST(HungSoundServer, StartUpGoesOnWithoutTheDevice) {
  const std::string base = "/tmp/porteka_hung_server_" + std::to_string(::getpid());
  const std::string socketPath = base + ".sock";
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ::unlink(socketPath.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  // The kernel completes connections into the backlog; nobody ever answers.
  ASSERT_EQ(::listen(listener, 16), 0);
  ::setenv("PULSE_SERVER", ("unix:" + socketPath).c_str(), 1);
  ::setenv("PULSE_COOKIE", (base + ".cookie").c_str(), 1);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(STInit(0, 0), 0);
  // A bound on waiting, not a speed figure: typically a quarter of a second.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  // Without the server's client library SDL fails at once instead; either way we are here.
  const SoundDeviceState state = CurrentSoundDeviceState();
  EXPECT_TRUE(state == SoundDeviceState::kStarting || state == SoundDeviceState::kMute);
  if (state == SoundDeviceState::kStarting) {
    const std::vector<uint8_t> image = test::ReadAsset("mark.wav");
    EXPECT_EQ(STReadBytesChecked(2, image.data(), image.size(), 8), 1) << "kept until the device is there";
    EXPECT_EQ(STPlay(2), 0);
  }
  ::unlink(socketPath.c_str());
  ::unlink((base + ".cookie").c_str());
  // Leaving with the start-up thread still waiting on the server must be clean.
}

}  // namespace
}  // namespace porteka
