#!/usr/bin/env bash
# Builds the Debian package (make package) and checks its contents and declared dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
make package
deb=$(ls -t build/package/veltrix_*.deb | head -n 1)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
contents=$(dpkg-deb --contents "$deb" | sed -E 's/^.* (\.\/)/\1/')
echo "$contents"
for expected in ./usr/bin/veltrix ./usr/bin/vanquil \
    ./usr/share/veltrix/GIF/fan0.gif ./usr/share/veltrix/skin/splash.png ./usr/share/veltrix/veltrix.png \
    ./usr/share/applications/veltrix.desktop ./usr/share/metainfo/org.veltrix.Veltrix.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/veltrix.svg ./usr/share/icons/hicolor/32x32/apps/veltrix.png; do
  grep -qxF "$expected" <<<"$contents" || { echo "check_package: $expected is missing" >&2; exit 1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libqt6widgets6 libc6 libstdc++6; do
  grep -q "$lib" <<<"$depends" || { echo "check_package: Depends lacks $lib: $depends" >&2; exit 1; }
done
echo "check_package: contents and dependencies as expected"
