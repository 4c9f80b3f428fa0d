#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a finished build folder into a temporary
# folder and checks it without installing it: the files it must hold, its
# control fields, lintian's verdict, the changelog's version, the unpacked
# programs' versions, and the desktop entry, AppStream metainfo and MIME type
# as their own tools see them.
# Usage: check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cd "$build"
if ! cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
deb="$work/out/kestrum_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no $deb"; exit 1; }

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for file in /usr/bin/kestrum /usr/bin/kestrum-tool /usr/libexec/kestrum/kestrum-report \
    /usr/lib/udev/rules.d/70-kestrum-ftdi.rules \
    /usr/share/applications/org.kestrum.Kestrum.desktop \
    /usr/share/icons/hicolor/scalable/apps/org.kestrum.Kestrum.svg \
    /usr/share/mime/packages/kestrum-rn.xml \
    /usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml \
    /usr/share/man/man1/kestrum.1.gz /usr/share/man/man1/kestrum-tool.1.gz \
    /usr/share/doc/kestrum/copyright /usr/share/doc/kestrum/changelog.gz; do
  grep -qx "\.$file" <<<"$contents" || fail "the package lacks $file"
done

[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "Version is not $version"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libftdi1; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx './postinst' || fail "no postinst"

# Any lintian error or warning fails, and so does anything else it prints. As root it
# runs as nobody: it unpacks the package, and says so otherwise.
if command -v lintian >/dev/null; then
  lintian=(lintian --fail-on error,warning)
  if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null; then
    chmod 755 "$work" "$work/out"
    chmod 644 "$deb"
    lintian=(runuser -u nobody -- "${lintian[@]}")
  fi
  if ! output=$("${lintian[@]}" "$deb" 2>&1) || [ -n "$output" ]; then
    fail "lintian:"$'\n'"$output"
  fi
else
  fail "lintian is not installed (tools/install-deps.sh installs it)"
fi

root="$work/root"
dpkg -x "$deb" "$root"
[ "$("$root/usr/bin/kestrum-tool" --version)" = "kestrum-tool $version" ] ||
  fail "kestrum-tool --version does not say $version"
[ "$("$root/usr/bin/kestrum" --version)" = "kestrum $version" ] ||
  fail "kestrum --version does not say $version"

desktop="$root/usr/share/applications/org.kestrum.Kestrum.desktop"
output=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$output" ] ||
  fail "desktop-file-validate: $output"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic \
    "$root/usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream.log")"
fi
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/kestrum-rn.xml" "$work/mime/packages/"
output=$(XDG_DATA_HOME="$work" XDG_DATA_DIRS="$work" update-mime-database "$work/mime" 2>&1) && [ -z "$output" ] ||
  fail "update-mime-database: $output"
mime_type=$(awk '$0 ~ /\*\.Rn$/ {split($0, f, ":"); print f[2]}' "$work/mime/globs2")
grep -q "^MimeType=.*$mime_type;" "$desktop" ||
  fail "the desktop entry does not handle the data files' type ${mime_type:-(none)}"
# A new version needs its changelog entry.
gzip -dc "$root/usr/share/doc/kestrum/changelog.gz" >"$work/changelog" || fail "changelog.gz"
changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>&1) || true
[ "$changelog_version" = "$version" ] ||
  fail "the changelog's last entry is $changelog_version, not $version"
for page in kestrum kestrum-tool; do
  gzip -t "$root/usr/share/man/man1/$page.1.gz" || fail "man page $page"
done

[ "$failures" -eq 0 ] || exit 1
echo "package check passed: $(basename "$deb")"
