#!/usr/bin/env bash
# Builds the Debian package from the release preset, on a configuration that
# may not find GoogleTest or Google Benchmark, and checks it with the tools
# distributions use: desktop-file-validate, appstreamcli and lintian. Then
# installs it into a scratch root, runs it from there, and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."

# Warnings are errors, as in the dev preset, whose compiler flags the release
# preset shares: through ccache (as ./test builds) each file the dev build
# compiled is then not compiled again.
cmake --preset release -DKQ71WB_WERROR=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build --preset release -j "$(nproc)"
rm -f build-release/kq71wb_*.deb
cpack --preset release
# The version and architecture are the build's own.
package=$(echo build-release/kq71wb_*.deb)
version=$(dpkg-deb --field "$package" Version)

desktop-file-validate data/io.github.kq71wb.kq71wb.desktop
appstreamcli validate --no-net --pedantic build-release/data/io.github.kq71wb.kq71wb.metainfo.xml
# No error or warning may pass. One informational tag remains, and says so:
#   binary-has-unneeded-section .comment: CPack strips with plain strip, which
#     keeps the compiler's .comment note; it costs a few hundred bytes.
lintian --fail-on error,warning --display-level ">=info" "$package"

# Installed into a scratch root: the files land where the conventions put them.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends -i "$package" >/dev/null 2>&1
expected="/usr/bin/KQ71WB
/usr/bin/kq71wb
/usr/share/applications/io.github.kq71wb.kq71wb.desktop
/usr/share/doc/kq71wb/changelog.gz
/usr/share/doc/kq71wb/copyright
/usr/share/doc/kq71wb/kq71wb.dat
/usr/share/icons/hicolor/128x128/apps/kq71wb.png
/usr/share/icons/hicolor/16x16/apps/kq71wb.png
/usr/share/icons/hicolor/256x256/apps/kq71wb.png
/usr/share/icons/hicolor/32x32/apps/kq71wb.png
/usr/share/icons/hicolor/48x48/apps/kq71wb.png
/usr/share/icons/hicolor/64x64/apps/kq71wb.png
/usr/share/icons/hicolor/scalable/apps/kq71wb.svg
/usr/share/man/man1/KQ71WB.1.gz
/usr/share/man/man1/kq71wb.1.gz
/usr/share/metainfo/io.github.kq71wb.kq71wb.metainfo.xml"
installed=$(cd "$root" && find usr \( -type f -o -type l \) | sed 's|^|/|' | LC_ALL=C sort)
if [ "$installed" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    echo "The package installs other files than expected:"
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$installed") || true
    exit 1
fi

# The installed program answers --version by either name, and starts, without
# a display of its own, with the sample loadings file in a configuration folder.
for command in KQ71WB kq71wb; do
    [ "$("$root/usr/bin/$command" --version)" = "KQ71WB $version" ] || { echo "$command --version is wrong"; exit 1; }
done
# The sample's gliders are examples, named so wherever they are shown.
sample="$root/usr/share/doc/kq71wb/kq71wb.dat"
[ "$(grep -c . "$sample")" -eq "$(grep -c '(example)' "$sample")" ] || { echo "The sample names a glider that is not an example"; exit 1; }
mkdir -p "$root/home/.config/kq71wb"
cp "$root/usr/share/doc/kq71wb/kq71wb.dat" "$root/home/.config/kq71wb/"
status=0
HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= \
    timeout 3 "$root/usr/bin/KQ71WB" || status=$?
[ "$status" -eq 124 ] || { echo "The installed program did not keep running (status $status)"; exit 1; }
# Its dependencies are all to be had on this machine (what it only
# recommends, such as a font for other scripts, may not be).
apt-get install --simulate --no-download --no-install-recommends "./$package" >/dev/null

dpkg --root="$root" -r kq71wb >/dev/null 2>&1
if [ -n "$(cd "$root" && find usr \( -type f -o -type l \) 2>/dev/null)" ]; then
    echo "Removing the package left files behind"
    exit 1
fi
echo "The package $package is sound."
