// orvantis: with exactly two arguments (a target directory and an output file) one
// listing is run and the program exits. Without a display, or with
// ORVANTIS_HEADLESS=1, that run happens without a window.
#include "core/driver/HeadlessRunHost.h"
#include "core/driver/RunDriver.h"
#include "platform/Console.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

int RunHeadless(const std::vector<std::string>& arguments) {
  orv::THeadlessRunHost host(orv::StderrIsTerminal(), HasDisplay());
  orv::TRunDriver driver(host);
  host.OnStopRequested = [&driver] { driver.Stop(); };
  orv::InstallInterruptFlag();

  driver.Start(arguments);
  const orv::TRunOutcome outcome = driver.RunAutomatic();
  host.Finish();
  driver.Shutdown();
  return outcome == orv::TRunOutcome::Written ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() == 2) {
    // The window comes with the interactive mode; until then every automatic run is
    // headless (as ORVANTIS_HEADLESS=1 asks), with or without a display.
    return RunHeadless(arguments);
  }
  orv::WriteStderr(
      "usage: orvantis TARGET-DIRECTORY OUTPUT-FILE\n"
      "Writes a listing of TARGET-DIRECTORY to OUTPUT-FILE (.csv, .htm/.html or .xml) and exits.\n"
      "Settings are read from and saved to Orvantis.ini in $ORVANTIS_HOME or beside the program.\n"
      "The interactive window is not available in this build.\n");
  return 2;
}
