#pragma once
// luctool, the command-line companion: the whole CLI as a function, so tests
// run it in-process and check its exit status and output.

#include <iosfwd>

namespace CLI {
class App;
}

namespace tilbo::luctool {

// Exit status: 0 success, 1 the command failed (a file could not be read...),
// 2 bad usage.
int RunLuctool(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// What every command writes to and the status it leaves.
struct Io {
  std::ostream& out;
  std::ostream& err;
  int status = 0;
};

// Each command registers itself on the application (one file per command).
void AddInfoCommand(CLI::App& app, Io& io);
void AddCellsCommand(CLI::App& app, Io& io);
void AddSynthCommand(CLI::App& app, Io& io);
void AddRenderCommand(CLI::App& app, Io& io);
void AddGeorefCommand(CLI::App& app, Io& io);
void AddExportCommand(CLI::App& app, Io& io);

}  // namespace tilbo::luctool
