// The command-line contract of automatic mode: which arguments it refuses before
// anything runs, and the exit status that tells a script how the run went.
#pragma once

#include "run/RunDriver.h"

#include <string>
#include <vector>

namespace orv {

// Exit statuses of the program; scripts and service managers read them.
enum TExitStatus : int {
  ExitComplete = 0,    // the listing was written with every entry in it
  ExitFailed = 1,      // the run failed, was refused by a check, was stopped, or wrote nothing
  ExitUsage = 2,       // the command line was refused before anything ran
  ExitIncomplete = 3,  // the listing was written, but entries could not be read
};

// Why the two automatic-mode arguments (native target directory and output file)
// are refused, as a UTF-8 message for standard error, or "" when they are fine. An
// empty argument (a script's unset variable) would list from "/" or name no file;
// a target that is not a directory has nothing to list.
std::string RefusedAutomaticArguments(const std::vector<std::string>& arguments);

// The exit status of an automatic run that ended with outcome.
TExitStatus AutomaticExitStatus(TRunOutcome outcome, const TRunDriver& driver);

}  // namespace orv
