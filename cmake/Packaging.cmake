# The Debian package: `cpack -G DEB` in a build tree (scripts/package.sh makes one for
# /usr). Library dependencies come from dpkg-shlibdeps; what the program loads at run
# time without linking to it is named here.
set(CPACK_PACKAGE_NAME orvantis)
set(CPACK_PACKAGE_VENDOR "Orvantis")
set(CPACK_PACKAGE_CONTACT "Orvantis maintainers <orvantis@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write a listing of a directory tree as CSV, HTML or XML")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvantis writes a listing of a directory tree with the facts picked for each entry: sizes,
times, attributes, CRC32/MD5/SHA-1 digests, version strings of Windows programs, PDF
version and page count, Exif fields, aliases and icons. It has a Japanese Qt window
and an automatic mode, orvantis DIR OUT, that also runs without a display.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The window's Japanese font and theme icons, Qt's Japanese dialogs, and xdg-open to
# open a written listing: wanted, not needed for a headless run.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-ipafont-gothic | fonts-japanese-gothic, adwaita-icon-theme, qt6-translations-l10n, xdg-utils")
include(CPack)
