#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
# Idempotent and quiet when nothing is missing. Runs apt-get as root or through sudo.
#   install-deps.sh            what `make build`, `make run` and `make test` need
#   install-deps.sh fuzz       and clang with libFuzzer (the fuzz preset)
#   install-deps.sh package    and what `make package` needs (dpkg-shlibdeps)
#   install-deps.sh tidy       and clang-tidy (tools/run_clang_tidy.sh)
#   install-deps.sh desktop-check  and an X server, window manager, tray host and xdotool
#                              (tools/check_desktop_stacking.sh)
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev libglx-dev libsystemd-dev
  dbus-daemon python3-dbus python3-gi
  fonts-dejavu-core fonts-noto-cjk
  # the picture and table generators under tools/
  python3 python3-pil
)
for extra in "$@"; do
  case "$extra" in
    fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
    package) packages+=(dpkg-dev file) ;;
    tidy) packages+=(clang-tidy) ;;
    desktop-check) packages+=(xvfb openbox trayer xdotool x11-utils imagemagick) ;;
    *) echo "install-deps: unknown group '$extra' (fuzz, package, tidy, desktop-check)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
