// Qt's own dialog texts in the user's language, Japanese under the C locale.
#include "ui/QtTranslations.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(QtTranslations, DialogsSpeakTheLocalesLanguageAndJapaneseUnderC) {
  EXPECT_EQ(TQtTranslations::DialogLocale(QLocale::c()).language(), QLocale::Japanese);
  EXPECT_EQ(TQtTranslations::DialogLocale(QLocale(QLocale::German, QLocale::Germany)).language(), QLocale::German);

  // The tests run under LC_ALL=C.
  {
    const TQtTranslations translations;
    ASSERT_TRUE(translations.Installed()) << "no Qt translations: scripts/install-deps.sh installs qt6-translations-l10n";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("ファイル名(&N):"));
  }
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

}  // namespace
}  // namespace orv
