#!/usr/bin/env bash
# Installs a build into a staging folder, validates the desktop entry and the metadata,
# builds the Debian package, checks that it holds what it should and runs lintian on it.
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
cd "$build"
id=$(sed -n 's/^VANTOR_APP_ID:STRING=//p' CMakeCache.txt)
stage=$PWD/staging
rm -rf "$stage" ./*.deb
DESTDIR=$stage cmake --install . --prefix /usr >/dev/null
desktop-file-validate "$stage/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$stage/usr/share/metainfo/$id.metainfo.xml"
cpack -G DEB >/dev/null
deb=$(ls ./*.deb)
contents=$(dpkg-deb --contents "$deb")
for f in usr/bin/vantor "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
         "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/48x48/apps/$id.png" \
         "usr/share/icons/hicolor/symbolic/apps/$id-symbolic.svg" usr/share/man/man1/vantor.1.gz \
         usr/share/doc/vantor/copyright usr/share/doc/vantor/changelog.gz; do
    grep -q " \./$f\$" <<<"$contents" || { echo "missing from $deb: $f"; exit 1; }
done
dpkg-deb --field "$deb" Depends Recommends Suggests
# Errors fail the check; the warnings that remain are explained in the README.
command -v lintian >/dev/null || { echo "lintian is missing: bash scripts/deps.sh --test"; exit 1; }
lintian --info --display-level '>=warning' --fail-on error "$deb" ||
    { echo "lintian found errors in $deb"; exit 1; }
echo "install check passed: $deb"
