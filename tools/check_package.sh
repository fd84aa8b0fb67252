#!/usr/bin/env bash
# Builds the Debian package (make package), checks its contents and declared dependencies, and
# runs the programs it carries.
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

# The package's own files run: unpack them into a scratch root and start the programs from
# there (they find their program folder in ../share/veltrix beside bin).
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
export XDG_RUNTIME_DIR=$root/run XDG_CONFIG_HOME=$root/config XDG_STATE_HOME=$root/state
mkdir -m 0700 "$XDG_RUNTIME_DIR"
out=$("$root/usr/bin/veltrix" --console --virtual-time --ticks 3)
grep -q -- "-- tick 3" <<<"$out" || { echo "check_package: the packaged veltrix did not run 3 ticks" >&2; exit 1; }
[[ -f $XDG_CONFIG_HOME/veltrix/registry.reg ]] || { echo "check_package: no settings were stored" >&2; exit 1; }
"$root/usr/bin/vanquil" || { echo "check_package: the packaged vanquil failed" >&2; exit 1; }
echo "check_package: the packaged programs run"
