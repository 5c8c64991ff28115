// The icon source of a real run: a program's own icon from its resources, else the
// desktop icon theme's icon for the file's type or for a folder, else a built-in
// generic file or folder icon. Needs a QGuiApplication (the offscreen platform will
// do) for the theme; without one it still gives program icons and the built-in ones.
#pragma once

#include "metadata/IconSource.h"
#include "metadata/PeIcon.h"

#include <QHash>
#include <QMimeDatabase>
#include <QString>
#include <cstdint>
#include <functional>

namespace orv {

class TQtIconSource : public TIconSource {
public:
  // Icon groups stored in several languages are read in the user's (regional settings).
  TQtIconSource();
  explicit TQtIconSource(uint16_t userLanguageId);

  bool SmallIcon(const std::string& nativePath, bool isDirectory, TIconImage& icon) override;

  // Called once, before the first icon is looked for: where the GUI application is
  // made only when a run turns out to want icons (a listing without them never pays
  // for Qt's start-up).
  void SetBeforeFirstIcon(std::function<void()> prepare) { m_beforeFirstIcon = std::move(prepare); }

  // The 16x16 icons drawn into the program, for when the theme has nothing.
  static TIconImage BuiltInIcon(bool folder);

private:
  // The theme's icon under the first of names it has, rendered at 16x16.
  bool ThemeIcon(const QStringList& names, TIconImage& icon);
  const TIconImage& TypeIcon(const QString& key, const QStringList& names, bool folder);

  TPeIconReader m_peReader;
  QMimeDatabase m_mimeDatabase;
  // Millions of entries share a handful of types; each is rendered once.
  QHash<QString, TIconImage> m_typeIcons;
  bool m_themeChecked = false;
  std::function<void()> m_beforeFirstIcon;
};

// Points Qt at the desktop icon themes when the platform found none (the offscreen
// platform finds none): /usr/share/icons joins the search path and the theme becomes
// the user's when it is installed and has a folder icon, else Adwaita. Called by the icon source before its
// first theme lookup; harmless to call again.
void PrepareIconTheme();

}  // namespace orv
