#!/usr/bin/env bash
# Installs the default build into a scratch prefix and runs the installed programs from there,
# with their own settings, runtime and state folders: the installed veltrix must find its
# pictures in share/veltrix and write its data log under $XDG_STATE_HOME/veltrix.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
cmake --install build --prefix "$prefix" > /dev/null
for f in bin/veltrix bin/vanquil share/veltrix/GIF/fan0.gif share/veltrix/skin/splash.png \
    "share/veltrix/Readme(English).txt" share/applications/veltrix.desktop \
    share/metainfo/org.veltrix.Veltrix.metainfo.xml share/icons/hicolor/scalable/apps/veltrix.svg; do
  [[ -e $prefix/$f ]] || { echo "check_install: $f was not installed" >&2; exit 1; }
done
mkdir -m 700 "$home/run"
export XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config XDG_STATE_HOME=$home/state HOME=$home
# Logging on, so the run shows where the log goes.
cat > "$home/settings.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Halvane\Setting]
"Check5"=dword:00000001
REG
"$prefix/bin/veltrix" --console --virtual-time --ticks 3 --registry "$home/settings.reg" > "$home/run.txt"
grep -q "^-- tick 3 " "$home/run.txt" || { cat "$home/run.txt"; echo "check_install: no third tick" >&2; exit 1; }
[[ -s $home/state/veltrix/Vtx.log ]] || { echo "check_install: no data log in \$XDG_STATE_HOME/veltrix" >&2; exit 1; }
[[ ! -e $prefix/share/veltrix/Vtx.log ]] || { echo "check_install: the log went into share/veltrix" >&2; exit 1; }
"$prefix/bin/veltrix" --info --registry "$home/settings.reg" | grep -q "Super I/O"
"$prefix/bin/vanquil" --registry "$home/settings.reg"
echo "check_install: the installed veltrix and vanquil ran from $prefix (log in \$XDG_STATE_HOME/veltrix)"
