// Icon files (.ico) as Windows, browsers and Qt read them: one image, stored as a
// 32-bit DIB with its colour and transparency masks, the form every reader accepts.
#pragma once

#include "metadata/IconSource.h"

#include <string>

namespace orv {

// The bytes of an .ico file holding image. Empty when the image cannot be stored: a
// side of 0 or above 256, or a pixel count that does not match its size.
std::string EncodeIconFile(const TIconImage& image);

// Writes image as a new .ico file at a native path. False, with nothing written, when
// something already exists there, the image cannot be stored or the write fails;
// an existing file is never replaced. Never throws.
bool WriteIconFile(const std::string& nativePath, const TIconImage& image);

}  // namespace orv
