// Qt's own texts in the user's language: the file dialogs, the buttons of message
// boxes, the context menus of edit boxes. The window's own texts are Japanese
// whatever the locale; Qt's follow the locale, and are Japanese under the C or POSIX
// locale too, where the Japanese window would otherwise show English dialogs.
#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace orv {

class TQtTranslations {
public:
  // Installs Qt's translations (qt6-translations-l10n) for DialogLocale of the
  // system locale into the running application; a language Qt has no translation for
  // keeps Qt's English. Removes them again when destroyed.
  TQtTranslations();
  ~TQtTranslations();
  TQtTranslations(const TQtTranslations&) = delete;
  TQtTranslations& operator=(const TQtTranslations&) = delete;

  // The locale whose language Qt's dialogs speak: system, or Japanese for C/POSIX.
  static QLocale DialogLocale(const QLocale& system);

  // True when a translation was found and installed.
  bool Installed() const { return !m_translators.empty(); }

private:
  std::vector<std::unique_ptr<QTranslator>> m_translators;
};

}  // namespace orv
