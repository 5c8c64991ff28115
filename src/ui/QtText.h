// The edge between the program's text (CP932 byte strings, native path bytes) and
// Qt's UTF-16 strings. Every text the window takes from or gives to the run goes
// through these.
#pragma once

#include "platform/CodePage.h"
#include "platform/Path.h"

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace orv {

inline QString FromAnsi(std::string_view ansi) { return QString::fromStdString(AnsiToUtf8(ansi)); }

inline std::string ToAnsi(const QString& text) { return Utf8ToAnsi(text.toStdString()); }

// A path the window got from Qt (a file dialog, the folder tree, a drop) as the run
// keeps it: the file-system bytes for access, their CP932 form for display.
inline TFilePath PathFromQt(const QString& path) {
  return TFilePath::FromNative(QFile::encodeName(path).toStdString());
}

inline QString NativeToQt(const std::string& native) {
  return QFile::decodeName(QByteArray::fromStdString(native));
}

}  // namespace orv
