#!/usr/bin/env bash
# Makes the Debian package from an already built tree and checks what it holds: the
# program, the stylesheet sample, the desktop entry and AppStream file (both valid),
# the icons, the man page, and library dependencies found by dpkg-shlibdeps.
#   package-check.sh BUILD-DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is not installed: scripts/install-deps.sh installs it"
done

# gzip keeps this quick on a debug build; the real package uses CPack's default.
(cd "$build" && cpack -G DEB -B "$work/out" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1) ||
  fail "cpack failed: $(tail -5 "$work/cpack.log")"
deb="$(ls "$work"/out/orvantis_*.deb)"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for file in /usr/bin/orvantis /usr/share/orvantis/Orvantis.xsl.sample \
  /usr/share/applications/org.example.orvantis.desktop /usr/share/metainfo/org.example.orvantis.metainfo.xml \
  /usr/share/icons/hicolor/16x16/apps/orvantis.png /usr/share/icons/hicolor/32x32/apps/orvantis.png \
  /usr/share/icons/hicolor/48x48/apps/orvantis.png /usr/share/icons/hicolor/256x256/apps/orvantis.png \
  /usr/share/icons/hicolor/scalable/apps/orvantis.svg /usr/share/man/man1/orvantis.1.gz; do
  grep -qx "$file" "$work/files" || fail "the package lacks $file"
done
if grep -v -e '^/usr/bin/' -e '^/usr/share/' -e '/$' "$work/files"; then
  fail "the package installs files outside /usr/bin and /usr/share (above)"
fi
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6widgets6 libpcre2-8-0 libssl3 zlib1g; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/org.example.orvantis.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.example.orvantis.metainfo.xml" >"$work/as.log" ||
  fail "AppStream file invalid: $(cat "$work/as.log")"
echo "package $(basename "$deb") holds $(wc -l <"$work/files") paths"
