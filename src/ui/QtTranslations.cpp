// Loading Qt's own translations for the dialogs.
#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace orv {

namespace {

// qtbase holds the dialogs, message boxes and edit menus; the Debian package names
// its files qtbase_LANG.qm.
constexpr const char* kQtCatalogs[] = {"qtbase"};

}  // namespace

QLocale TQtTranslations::DialogLocale(const QLocale& system) {
  if (system.language() == QLocale::C) {
    return QLocale(QLocale::Japanese, QLocale::Japan);
  }
  return system;
}

TQtTranslations::TQtTranslations() {
  const QLocale locale = DialogLocale(QLocale::system());
  const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const char* catalog : kQtCatalogs) {
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(locale, QString::fromLatin1(catalog), QStringLiteral("_"), directory) &&
        QCoreApplication::installTranslator(translator.get())) {
      m_translators.push_back(std::move(translator));
    }
  }
}

TQtTranslations::~TQtTranslations() {
  for (const auto& translator : m_translators) {
    QCoreApplication::removeTranslator(translator.get());
  }
}

}  // namespace orv
