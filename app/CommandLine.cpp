// The answers to --help and --version, and the "--" that ends the options.
#include "CommandLine.h"

#include "core/ProductInfo.h"

#include <string_view>

namespace orv {

namespace {

constexpr std::string_view kEndOfOptions = "--";
constexpr std::string_view kHelp = "--help";
constexpr std::string_view kShortHelp = "-h";
constexpr std::string_view kVersion = "--version";

constexpr std::string_view kUsage =
    "Usage: orvantis                                 open the window\n"
    "       orvantis [--] TARGET-DIRECTORY OUTPUT-FILE\n"
    "                                                write one listing and exit\n"
    "       orvantis --help | -h                     show this text\n"
    "       orvantis --version                       show the version\n"
    "\n"
    "The output file's extension chooses the format: .csv CSV, .htm or .html HTML,\n"
    ".xml XML; any other keeps the format of the settings file. Every other option\n"
    "comes from the settings file Orvantis.ini. A target whose name starts with \"-\"\n"
    "is written after \"--\" or as ./NAME.\n"
    "\n"
    "Without a display, or with ORVANTIS_HEADLESS=1, the listing is written without\n"
    "the window; progress and warnings go to standard error.\n"
    "\n"
    "Environment:\n"
    "  ORVANTIS_HOME      the folder of Orvantis.ini, alias.ini and caption.ini.\n"
    "                     Unset: beside the program when its folder is writable,\n"
    "                     otherwise $XDG_CONFIG_HOME/orvantis (~/.config/orvantis)\n"
    "  ORVANTIS_HEADLESS  1: no window, even with a display\n"
    "  ORVANTIS_THREADS   the number of threads a run may use (1: one thread);\n"
    "                     unset: one per processor\n"
    "  DISPLAY, WAYLAND_DISPLAY\n"
    "                     the display the window opens on\n"
    "\n"
    "Exit status:\n"
    "  0  the listing was written completely (also after --help and --version)\n"
    "  1  the run failed, was stopped, or did not start\n"
    "  2  a usage error: an empty argument, or the window without a display\n"
    "  3  the listing was written but is incomplete: some entries could not be read\n";

}  // namespace

TCommandLineRequest ReadCommandLine(std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    return TCommandLineRequest::Start;
  }
  const std::string_view first = arguments.front();
  if (first == kEndOfOptions) {
    arguments.erase(arguments.begin());
    return TCommandLineRequest::Start;
  }
  if (first == kHelp || first == kShortHelp) {
    return TCommandLineRequest::Help;
  }
  if (first == kVersion) {
    return TCommandLineRequest::Version;
  }
  return TCommandLineRequest::Start;
}

std::string UsageText() { return std::string(kUsage); }

std::string VersionText() { return std::string("orvantis ") + ProductVersionNumber + "\n"; }

}  // namespace orv
