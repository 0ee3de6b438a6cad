#!/usr/bin/env bash
# Makes a release from a clean checkout, into dist/:
#   kq71wb_<version>_<arch>.deb     the Debian package (the release preset, cpack)
#   kq71wb-web-<version>.zip        the web page's folder, to put on any static host
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
cmake --fresh --preset release -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
cmake --build --preset release -j "$jobs"
rm -f build-release/kq71wb_*.deb
cpack --preset release
cmake --fresh --preset wasm
cmake --build --preset wasm -j "$jobs"

version=$(sed -n 's/^#define KQ71WB_VERSION "\(.*\)"$/\1/p' build-release/generated/version.h)
rm -rf dist
mkdir dist
cp build-release/kq71wb_*.deb dist/
(cd build-wasm/page && cmake -E tar cf "../../dist/kq71wb-web-$version.zip" --format=zip .)
(cd dist && sha256sum -- * > SHA256SUMS)
echo "The release is in dist/:"
ls -l dist
