// The automatic mode's refused arguments and exit statuses.
#include "run/AutomaticMode.h"

#include "platform/File.h"
#include "platform/Path.h"

namespace orv {

namespace {

constexpr const char* kEmptyTarget =
    "orvantis: the target directory argument is empty; nothing was listed (an unset variable in a script?)\n";
constexpr const char* kEmptyOutput =
    "orvantis: the output file argument is empty; nothing was listed (an unset variable in a script?)\n";
constexpr const char* kNotADirectory = "orvantis: the target is not a directory; nothing was listed: ";

}  // namespace

std::string RefusedAutomaticArguments(const std::vector<std::string>& arguments) {
  if (arguments.size() != 2) return {};
  if (arguments[0].empty()) return kEmptyTarget;
  if (arguments[1].empty()) return kEmptyOutput;
  if (!DirectoryExists(ExpandPath(arguments[0]))) return kNotADirectory + arguments[0] + "\n";
  return {};
}

TExitStatus AutomaticExitStatus(TRunOutcome outcome, const TRunDriver& driver) {
  if (outcome != TRunOutcome::Written) return ExitFailed;
  return driver.UnreadEntries().empty() ? ExitComplete : ExitIncomplete;
}

}  // namespace orv
