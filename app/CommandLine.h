// The command-line conventions around the two ways to start: --help, -h and
// --version answer on standard output without a display; a leading "--" ends the
// options, so "orvantis -- --help OUT" lists a folder named "--help".
#pragma once

#include <string>
#include <vector>

namespace orv {

enum class TCommandLineRequest { Start, Help, Version };

// What arguments (the command line without the program name) ask for. A leading
// "--" is removed from arguments; everything after it is a target or output path.
TCommandLineRequest ReadCommandLine(std::vector<std::string>& arguments);

// The text --help prints: the forms, the environment variables, the exit statuses.
std::string UsageText();

// The text --version prints: "orvantis" and the version number.
std::string VersionText();

}  // namespace orv
