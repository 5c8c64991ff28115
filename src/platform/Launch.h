// Starting another program detached from this one, as the shell's "open" did: never
// through a shell, so a file name is never interpreted as a command.
#pragma once

#include <string>
#include <vector>

namespace orv {

// Starts program (searched on PATH when it has no "/") with arguments, in a session
// of its own, standard input from /dev/null. The child is reaped in the background.
// False when it could not be started; callers that ignore the outcome may.
bool LaunchDetached(const std::string& program, const std::vector<std::string>& arguments);

// Opens a document with the desktop's associated program (xdg-open).
bool OpenWithAssociatedProgram(const std::string& nativePath);

}  // namespace orv
