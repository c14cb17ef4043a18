#!/usr/bin/env bash
# Builds the Debian package dist/vemo_<version>_amd64.deb with CPack from a Release build
# installed under /usr, then checks the menu entry, the AppStream metainfo and the package.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/install-deps.sh --with-packaging
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DVEMO_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-package -j "$(nproc)"
rm -f dist/vemo_*.deb
(cd build-package && cpack -G DEB)
deb=$(ls dist/vemo_*_amd64.deb)

desktop-file-validate packaging/vemo.desktop
appstreamcli validate --no-net build-package/packaging/org.vemo.Vemo.metainfo.xml
# Errors fail the build; warnings and notes are shown.
lintian --fail-on error "$deb" || {
    echo "lintian found errors in $deb" >&2
    exit 1
}
echo "package ready: $deb"
