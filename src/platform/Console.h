// The text console a headless run reports to: standard error, its width, the clock
// that paces progress output, and Ctrl-C as the stop command.
#pragma once

#include <cstdint>
#include <string_view>

namespace orv {

bool StderrIsTerminal();
// Columns of the terminal on standard error; 80 when it cannot be told.
int StderrColumns();
// Writes bytes to standard error, unbuffered, retrying short writes.
void WriteStderr(std::string_view bytes);
// A monotonic clock in milliseconds.
int64_t MonotonicMilliseconds();

// The first SIGINT (Ctrl-C) after this call only raises a flag that the run reads as
// the stop command; a second one ends the process as usual.
void InstallInterruptFlag();
bool InterruptRequested();

}  // namespace orv
