// Where the small icon of an entry comes from on the desktop.
#include "ui/QtIconSource.h"

#include "platform/Path.h"
#include "platform/Regional.h"

#include <QFile>
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <utility>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <string_view>

namespace orv {

namespace {

constexpr int kSmallSide = 16;
constexpr int kMaxPngSide = 256;

using TPixelArt = std::array<std::string_view, kSmallSide>;

// A page with a folded corner and a folder, one letter per pixel.
constexpr TPixelArt kFileArt = {
    "..kkkkkkkk......", "..kwwwwwwkk.....", "..kwwwwwwkgk....", "..kwwwwwwkggk...",
    "..kwwwwwwkkkkk..", "..kwwwwwwwwwwk..", "..kwwggggggwwk..", "..kwwwwwwwwwwk..",
    "..kwwggggggwwk..", "..kwwwwwwwwwwk..", "..kwwggggggwwk..", "..kwwwwwwwwwwk..",
    "..kwwggggwwwwk..", "..kwwwwwwwwwwk..", "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..",
};
constexpr TPixelArt kFolderArt = {
    "................", "................", ".ooooo..........", "oyyyyyo.........",
    "oyyyyyyoooooooo.", "oyyyyyyyyyyyyyo.", "oyyyyyyyyyyyyyo.", "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.", "oyyyyyyyyyyyyyo.", "oyyyyyyyyyyyyyo.", "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.", "oyyyyyyyyyyyyyo.", "ooooooooooooooo.", "................",
};

constexpr bool IsSquareArt(const TPixelArt& art) {
  for (std::string_view row : art) {
    if (row.size() != kSmallSide) return false;
  }
  return true;
}
static_assert(IsSquareArt(kFileArt) && IsSquareArt(kFolderArt));

uint32_t ArtColour(char letter) {
  switch (letter) {
    case 'k': return 0xFF5A5A5Au;
    case 'w': return 0xFFFFFFFFu;
    case 'g': return 0xFFC8C8C8u;
    case 'o': return 0xFFB8860Bu;
    case 'y': return 0xFFF4C542u;
    default: return 0;
  }
}

bool HasGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// Programs and libraries show their own icon, as in Explorer. Other files that happen
// to be PE images keep their type's icon: the icon file is shared by every file of
// that extension.
bool MayHaveOwnIcon(const std::string& nativePath) {
  const std::string extension = ExtractFileExt(nativePath);
  const auto equals = [&](std::string_view wanted) {
    if (extension.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      char c = extension[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != wanted[i]) return false;
    }
    return true;
  };
  return equals(".exe") || equals(".dll");
}

// QImage of any format to straight-alpha 0xAARRGGBB pixels, centred on a 16x16 canvas
// when it is smaller (a theme may have nothing smaller than it, never larger).
bool ToIconImage(const QImage& source, TIconImage& icon) {
  if (source.isNull()) return false;
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  if (image.width() > kSmallSide || image.height() > kSmallSide) {
    image = image.scaled(kSmallSide, kSmallSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_ARGB32);
  }
  if (image.width() != kSmallSide || image.height() != kSmallSide) {
    QImage canvas(kSmallSide, kSmallSide, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.drawImage((kSmallSide - image.width()) / 2, (kSmallSide - image.height()) / 2, image);
    painter.end();
    image = canvas.convertToFormat(QImage::Format_ARGB32);
  }
  icon.Width = kSmallSide;
  icon.Height = kSmallSide;
  icon.Pixels.resize(static_cast<std::size_t>(kSmallSide) * kSmallSide);
  for (int y = 0; y < kSmallSide; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < kSmallSide; ++x) icon.Pixels[static_cast<std::size_t>(y) * kSmallSide + x] = row[x];
  }
  return true;
}

bool DecodePng(std::string_view png, TIconImage& icon) {
  QByteArray bytes = QByteArray::fromRawData(png.data(), static_cast<qsizetype>(png.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "PNG");
  // A hostile program may declare a huge image in a few bytes; icons end at 256.
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > kMaxPngSide || size.height() > kMaxPngSide) return false;
  QImage image = reader.read();
  if (image.isNull()) return false;
  image = image.convertToFormat(QImage::Format_ARGB32);
  icon.Width = image.width();
  icon.Height = image.height();
  icon.Pixels.resize(static_cast<std::size_t>(icon.Width) * static_cast<std::size_t>(icon.Height));
  for (int y = 0; y < icon.Height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::copy(row, row + icon.Width, icon.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * icon.Width);
  }
  return true;
}

bool ThemeInstalled(const QString& name) {
  if (name.isEmpty()) return false;
  for (const QString& directory : QIcon::themeSearchPaths()) {
    if (QFileInfo::exists(directory + QLatin1Char('/') + name + QStringLiteral("/index.theme"))) return true;
  }
  return false;
}

}  // namespace

void PrepareIconTheme() {
  const QString systemIcons = QStringLiteral("/usr/share/icons");
  QStringList paths = QIcon::themeSearchPaths();
  if (!paths.contains(systemIcons)) {
    paths.append(systemIcons);
    QIcon::setThemeSearchPaths(paths);
  }
  // A bare X server names "hicolor", which is installed but has no folder or type
  // icons of its own: a theme counts only when it can show a folder.
  if (!ThemeInstalled(QIcon::themeName()) || QIcon::fromTheme(QStringLiteral("folder")).isNull()) {
    QIcon::setThemeName(QStringLiteral("Adwaita"));
  }
}

TQtIconSource::TQtIconSource() : TQtIconSource(ReadRegionalSettings().DefaultLanguageId) {}

TQtIconSource::TQtIconSource(uint16_t userLanguageId) : m_peReader(userLanguageId) {
  m_peReader.SetPngDecoder(DecodePng);
}

TIconImage TQtIconSource::BuiltInIcon(bool folder) {
  const TPixelArt& art = folder ? kFolderArt : kFileArt;
  TIconImage icon;
  icon.Width = kSmallSide;
  icon.Height = kSmallSide;
  icon.Pixels.reserve(static_cast<std::size_t>(kSmallSide) * kSmallSide);
  for (std::string_view row : art) {
    for (char letter : row) icon.Pixels.push_back(ArtColour(letter));
  }
  return icon;
}

bool TQtIconSource::SmallIcon(const std::string& nativePath, bool isDirectory, TIconImage& icon) {
  if (m_beforeFirstIcon) {
    std::exchange(m_beforeFirstIcon, nullptr)();
  }
  if (isDirectory) {
    icon = TypeIcon(QStringLiteral("inode/directory"), {QStringLiteral("folder"), QStringLiteral("inode-directory")},
                    true);
    return true;
  }
  if (MayHaveOwnIcon(nativePath) && m_peReader.SmallIcon(nativePath, icon)) return true;
  // The type comes from the name alone, as Explorer's does: no file is opened (a FIFO
  // never blocks), and every file sharing an icon file name gets the same answer.
  const QMimeType type = m_mimeDatabase.mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(nativePath)),
                                                        QMimeDatabase::MatchExtension);
  icon = TypeIcon(type.name(), {type.iconName(), type.genericIconName()}, false);
  return true;
}

const TIconImage& TQtIconSource::TypeIcon(const QString& key, const QStringList& names, bool folder) {
  auto found = m_typeIcons.constFind(key);
  if (found != m_typeIcons.constEnd()) return *found;
  TIconImage icon;
  if (!ThemeIcon(names, icon)) icon = BuiltInIcon(folder);
  return *m_typeIcons.insert(key, std::move(icon));
}

bool TQtIconSource::ThemeIcon(const QStringList& names, TIconImage& icon) {
  // Icons are pixmaps, which need the GUI application.
  if (!HasGuiApplication()) return false;
  if (!m_themeChecked) {
    PrepareIconTheme();
    m_themeChecked = true;
  }
  for (const QString& name : names) {
    if (name.isEmpty()) continue;
    const QIcon themed = QIcon::fromTheme(name);
    if (themed.isNull()) continue;
    const QPixmap pixmap = themed.pixmap(QSize(kSmallSide, kSmallSide), 1.0);
    if (!pixmap.isNull() && ToIconImage(pixmap.toImage(), icon)) return true;
  }
  return false;
}

}  // namespace orv
