#!/usr/bin/env bash
# Installs the default build into a scratch prefix and runs the installed programs from there,
# with their own settings, runtime and state folders.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
cmake --install build --prefix "$prefix" > /dev/null
for f in bin/veltrix bin/vanquil share/veltrix/GIF/fan0.gif share/applications/veltrix.desktop; do
  [[ -e $prefix/$f ]] || { echo "check_install: $f was not installed" >&2; exit 1; }
done
mkdir -m 700 "$home/run"
export XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config XDG_STATE_HOME=$home/state
"$prefix/bin/veltrix" --console --virtual-time --ticks 3 --registry "$home/settings.reg"
echo "check_install: the installed veltrix ran from $prefix"
