// The text console a headless run reports to: standard error, its one updating
// progress line, the clock that paces it, and Ctrl-C as the stop command.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

bool StderrIsTerminal();
// Columns of the terminal on standard error; 80 when it cannot be told.
int StderrColumns();
// Writes bytes to standard error, unbuffered, retrying short writes.
void WriteStderr(std::string_view bytes);
// Writes bytes to standard output (the answers to --help and --version). False when
// they could not all be written, such as to a closed pipe.
bool WriteStdout(std::string_view bytes);
// A monotonic clock in milliseconds.
int64_t MonotonicMilliseconds();

// Replaces the progress line on standard error (a terminal) with utf8, its control
// characters shown as "?" so a name cannot move the cursor, shortened to the
// terminal's width. Returns false when the line is now empty.
bool ShowProgressLine(std::string_view utf8);
// Erases the progress line and leaves the cursor at its start.
void ClearProgressLine();

// Shortens a UTF-8 line to at most columns display columns (wide East Asian
// characters count two), keeping its end: a path's last parts tell the most.
std::string FitToColumns(std::string_view utf8, int columns);

// The first SIGINT (Ctrl-C), SIGTERM (a service manager's stop) or SIGHUP (a closed
// terminal) after this call only raises a flag that the run reads as the stop
// command, so the run ends as a stopped one: no temporary file, the older listing
// intact, the settings saved. A second signal of the same kind ends the process as
// usual.
void InstallInterruptFlag();
bool InterruptRequested();

// Ends the process with status at once, without running destructors or exit handlers:
// for a program whose output is all written (through the writes above, which keep no
// buffer) and whose remaining memory the system takes back faster than freeing it
// piece by piece would.
[[noreturn]] void ExitNow(int status);

}  // namespace orv
