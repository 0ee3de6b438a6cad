#!/usr/bin/env bash
# Makes a release from a clean checkout, into dist/:
#   kq71wb_<version>_<arch>.deb     the Debian package (the release preset, cpack)
#   kq71wb-web-<version>.zip        the web page's folder, to put on any static host, with the
#                                   licence, a note on putting it online and the sample loadings
#   SHA256SUMS                      their digests, for whoever downloads them
# Each build is configured afresh (a new CMake cache), so that no setting of
# an earlier build slips in.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh

if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
    echo "The tree has changes that are not committed; a release is made from a clean one." >&2
    exit 1
fi
ensure_packages dpkg-dev emscripten nodejs

jobs=$(nproc)
# Proof that a release needs no test library; unused, as nothing looks for them.
cmake --fresh --no-warn-unused-cli --preset release -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build --preset release -j "$jobs"
rm -f build-release/kq71wb_*.deb
cpack --preset release
cmake --fresh --preset wasm
cmake --build --preset wasm -j "$jobs"

version=$(sed -n 's/^#define KQ71WB_VERSION "\(.*\)"$/\1/p' build-release/generated/version.h)
rm -rf dist
mkdir dist
cp build-release/kq71wb_*.deb dist/
# One folder in the zip: the page, the licence, the sample as an example (a
# kq71wb.dat beside the page is offered to every visitor as the club's
# gliders: the examples must not be), and what to do with them.
web=kq71wb-web-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp -r build-wasm/page "$stage/$web"
cp LICENSE "$stage/$web/"
cp data/kq71wb.dat "$stage/$web/kq71wb-example.dat"
cat > "$stage/$web/README.txt" <<EOF
KQ71WB $version, the KQ 71 sailplane weight and balance calculator, as a web page.

Putting it online: copy everything in this folder, as it is, to any static web
host (the club's web space, GitHub Pages, an nginx or Apache folder), at the
top or under any path. Serve it over HTTPS, which browsers need to keep the
page for use offline and to install it. Nothing runs on the server, and
nothing a pilot types leaves the pilot's device.

The club's gliders for every member: a file named kq71wb.dat beside
index.html is offered to everyone who opens the page. kq71wb-example.dat is
the sample: its gliders are examples, not weighings, and must not be offered
as kq71wb.dat. Write your own from each glider's current weighing record, one
glider a line, its name in double quotes, the empty weight in pounds and the
empty arm in inches:

    "N271KQ",612.5,23.6

Without a kq71wb.dat beside the page, each pilot chooses a file on the page,
under "Loadings on this device".

After an update, copy the new folder over the old one. KQ71WB is free
software under the MIT licence, in LICENSE.
EOF
(cd "$stage" && cmake -E tar cf "$OLDPWD/dist/$web.zip" --format=zip "$web")
(cd dist && sha256sum -- * > SHA256SUMS)
echo "The release is in dist/:"
ls -l dist
