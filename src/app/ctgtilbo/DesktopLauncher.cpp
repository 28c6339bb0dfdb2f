#include "ctgtilbo/DesktopLauncher.h"

#include <dlfcn.h>

#include <filesystem>
#include <string_view>

namespace tilbo {
namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// The Qt platforms that draw on a display server.
bool NeedsDisplayServer(std::string_view platform) {
  return platform.starts_with("xcb") || platform.starts_with("wayland");
}

}  // namespace

bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform) {
  if (IsSet(qtPlatform) && !NeedsDisplayServer(qtPlatform)) return true;
  return IsSet(display) || IsSet(waylandDisplay);
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
