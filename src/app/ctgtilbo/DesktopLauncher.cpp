#include "ctgtilbo/DesktopLauncher.h"

#include <dlfcn.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace tilbo {
namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// The Qt platforms that draw on a display server.
bool NeedsDisplayServer(std::string_view platform) {
  return platform.starts_with("xcb") || platform.starts_with("wayland");
}

constexpr int kConnectTimeoutMs = 2000;  // a display server on the network answers well within this
constexpr int kXTcpPortBase = 6000;       // X display n listens on TCP port 6000 + n
constexpr std::string_view kXSocketDirectory = "/tmp/.X11-unix/X";

bool Connects(int family, const sockaddr* address, socklen_t length) {
  const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  bool connected = ::connect(fd, address, length) == 0;
  if (!connected && errno == EINPROGRESS) {
    pollfd wait{fd, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    connected = ::poll(&wait, 1, kConnectTimeoutMs) == 1 &&
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
  ::close(fd);
  return connected;
}

// A local socket by path, or in the abstract namespace (Linux) by name.
bool LocalSocketAnswers(std::string_view name, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;  // an abstract name starts with a NUL
  if (name.empty() || offset + name.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, name.data(), name.size());
  const std::size_t terminator = abstract ? 0 : 1;
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + name.size() + terminator);
  return Connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length);
}

bool TcpAnswers(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool answered = false;
  for (const addrinfo* a = found; a != nullptr && !answered; a = a->ai_next) {
    answered = Connects(a->ai_family, a->ai_addr, a->ai_addrlen);
  }
  ::freeaddrinfo(found);
  return answered;
}

// DISPLAY is [protocol/][host]:number[.screen]; no host (or "unix") means the
// local socket of display `number`, any other host its TCP port.
bool XDisplayAnswers(std::string_view display) {
  std::string_view protocol;
  if (const auto slash = display.find('/'); slash != std::string_view::npos && slash > 0) {
    protocol = display.substr(0, slash);
    display.remove_prefix(slash + 1);
  }
  if (display.starts_with('/')) return true;  // a socket path of its own: left to the toolkit
  const auto colon = display.rfind(':');
  if (colon == std::string_view::npos) return false;
  const std::string host(display.substr(0, colon));
  std::string_view numberText = display.substr(colon + 1);
  numberText = numberText.substr(0, numberText.find('.'));
  int number = -1;
  const auto [end, error] = std::from_chars(numberText.data(), numberText.data() + numberText.size(), number);
  if (error != std::errc() || end != numberText.data() + numberText.size() || number < 0 ||
      number > 65535 - kXTcpPortBase) {
    return false;
  }
  if ((host.empty() || host == "unix") && protocol != "tcp") {
    const std::string socket = std::string(kXSocketDirectory) + std::to_string(number);
    return LocalSocketAnswers(socket, true) || LocalSocketAnswers(socket, false);
  }
  return TcpAnswers(host.empty() ? "localhost" : host, kXTcpPortBase + number);
}

bool WaylandAnswers(std::string_view name, const char* runtimeDir) {
  if (name.starts_with('/')) return LocalSocketAnswers(name, false);
  if (!IsSet(runtimeDir)) return false;
  return LocalSocketAnswers(std::string(runtimeDir) + "/" + std::string(name), false);
}

}  // namespace

bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform) {
  if (IsSet(qtPlatform) && !NeedsDisplayServer(qtPlatform)) return true;
  return IsSet(display) || IsSet(waylandDisplay);
}

bool DisplayReachable(const char* display, const char* waylandDisplay, const char* qtPlatform,
                      const char* runtimeDir) {
  const auto x = [&] { return IsSet(display) && XDisplayAnswers(display); };
  const auto wayland = [&] { return IsSet(waylandDisplay) && WaylandAnswers(waylandDisplay, runtimeDir); };
  if (!IsSet(qtPlatform)) return x() || wayland();
  // The toolkit tries the platforms of a ";"-separated list in turn.
  std::string_view platforms = qtPlatform;
  while (!platforms.empty()) {
    const std::string_view platform = platforms.substr(0, platforms.find(';'));
    platforms.remove_prefix(std::min(platforms.size(), platform.size() + 1));
    if (platform.empty()) continue;
    if (!NeedsDisplayServer(platform) || (platform.starts_with("xcb") ? x() : wayland())) return true;
  }
  return false;
}

std::string ExecutableDirectory() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !self.has_parent_path()) return "";
  return self.parent_path().string() + "/";
}

std::string DesktopModuleDirectory(const std::string& executableDirectory, const std::string& installedRelative) {
  std::error_code ec;
  if (std::filesystem::exists(executableDirectory + kDesktopModuleName, ec)) return executableDirectory;
  return executableDirectory + installedRelative;
}

DesktopLaunch RunDesktopModule(const std::string& directory, int argc, char** argv) {
  DesktopLaunch launch;
  const std::string path = directory + kDesktopModuleName;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    launch.reason = "this build has no desktop window";
    return launch;
  }
  // The module stays loaded until the program ends: Qt registers exit
  // handlers that must still find their code.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* error = dlerror();
    launch.reason = std::string("the desktop window could not be loaded: ") + (error != nullptr ? error : path);
    return launch;
  }
  using Entry = int (*)(int, char**);
  auto entry = reinterpret_cast<Entry>(dlsym(module, kDesktopEntryPoint));
  if (entry == nullptr) {
    launch.reason = "the desktop window could not be loaded: " + path + " has no " + kDesktopEntryPoint;
    return launch;
  }
  launch.started = true;
  launch.status = entry(argc, argv);
  return launch;
}

std::string AutoConvertHint(const std::string& reason) {
  return "ctgtilbo: " + reason + "; convert a file unattended with: ctgtilbo /AUTO /SOURCE=FILE /DEST=DIR/ /LOG=LOGFILE";
}

}  // namespace tilbo
