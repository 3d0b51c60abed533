#!/usr/bin/env bash
# Builds the Debian package from a build folder configured with
# -DCMAKE_INSTALL_PREFIX=/usr and checks it: the files a user and the
# desktop need are in it, the desktop entry and the AppStream metadata
# validate, and lintian (when installed) reports no error.
#   scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/tidewell_*_"$(dpkg --print-architecture)".deb | head -n 1)
echo "package: $deb"

triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
missing=0
for path in ./usr/bin/tidewell "./usr/lib/$triplet/tidewell/libunlha32.so" \
    ./usr/share/applications/org.tidewell.Tidewell.desktop \
    ./usr/share/metainfo/org.tidewell.Tidewell.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/tidewell.svg \
    ./usr/share/icons/hicolor/48x48/apps/tidewell.png \
    ./usr/share/icons/hicolor/256x256/apps/tidewell.png \
    ./usr/share/man/man1/tidewell.1.gz \
    ./usr/share/doc/tidewell/copyright ./usr/share/doc/tidewell/changelog.gz; do
    grep -qxF "$path" <<<"$listing" || { echo "missing from the package: $path"; missing=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for package in fonts-ipafont-gothic libqt6widgets6 libc6; do
    grep -q "$package" <<<"$depends" || { echo "missing dependency: $package"; missing=1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/org.tidewell.Tidewell.desktop"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/org.tidewell.Tidewell.metainfo.xml"
fi
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb"
fi
exit $missing
