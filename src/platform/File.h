// Small file-system queries and whole-file reading. Paths are native (file-system
// bytes, UTF-8 on Linux).
#pragma once

#include <string>

namespace orv {

// True when something exists at path and is (or links to) a regular file.
bool FileExists(const std::string& path);

// True when path is (or links to) a directory.
bool DirectoryExists(const std::string& path);

// True when something exists at path, whatever it is (a dangling link counts).
bool PathExists(const std::string& path);

// Creates one directory level (its parent must exist). False on failure.
bool CreateDirectoryLevel(const std::string& path);

// Creates path and every missing directory above it (new levels readable by the
// user only, as the XDG rules ask of configuration folders). True when path is a
// directory afterwards.
bool CreateDirectories(const std::string& path);

// Reads a regular file whole into contents. False when it cannot be opened or read,
// or is not a regular file (a FIFO or device is never opened, so this never blocks).
bool ReadWholeFile(const std::string& path, std::string& contents);

// The system's text for an errno value, in CP932.
std::string SystemErrorText(int code);

}  // namespace orv
