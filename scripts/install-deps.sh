#!/usr/bin/env bash
# Installs from Debian whatever the build and the tests need and this machine lacks.
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl-dev fonts-wine fonts-dejavu-core
  g++-mingw-w64-i686 g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine64 xvfb trayer xdotool x11-utils
  clang-format clang libclang-rt-14-dev
  dbus-daemon xvfb at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  desktop-file-utils man-db groff-base systemd curl
)

# Google Benchmark for the Windows tree, built there from Debian's source of the version the
# Linux tree links (Debian ships it only as Linux libraries). Fetched once into .deps/.
benchmark_source() {
  local dir file sum
  dir="$(cd "$(dirname "$0")/.." && pwd)/.deps"
  file=benchmark_1.7.1.orig.tar.gz
  sum=6430e4092653380d9dc4ccb45a1e2dc9259d581f4866dc0759713126056bc1d7
  if [ -f "$dir/$file" ] && echo "$sum  $dir/$file" | sha256sum -c --status; then
    return 0
  fi
  mkdir -p "$dir"
  echo "install-deps: fetching $file" >&2
  curl -fsS --retry 3 -o "$dir/$file.part" "http://deb.debian.org/debian/pool/main/b/benchmark/$file"
  if ! echo "$sum  $dir/$file.part" | sha256sum -c --status; then
    rm -f "$dir/$file.part"
    echo "install-deps: $file does not match its checksum" >&2
    return 1
  fi
  mv "$dir/$file.part" "$dir/$file"
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  if [ "$status" != "install ok installed" ]; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
benchmark_source
