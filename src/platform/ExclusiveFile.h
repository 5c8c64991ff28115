// Creating a small file that must never replace anything: the file appears whole at
// its name, or nothing appears and whatever was there stays. Two writers racing for
// the same name (another run writing into the same folder) cannot both succeed.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// Writes contents as a new file at a native path. False when something (a file, a
// directory, a dangling link) already exists there, or when the file cannot be written;
// a failure leaves no file behind. The new file gets 0666 less the umask. Never throws.
bool CreateFileExclusive(const std::string& path, std::string_view contents);

}  // namespace orv
