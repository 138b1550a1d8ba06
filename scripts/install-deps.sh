#!/usr/bin/env bash
# Installs everything both builds need from Debian's packages. Safe to run
# again: it only calls apt-get when a tool or file is missing.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }

have cmake || need+=(cmake)
have make || need+=(make)
have g++ || need+=(g++)
[ -e /usr/lib/gcc/x86_64-linux-gnu/12/32/libstdc++.so ] || need+=(g++-multilib)
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686 mingw-w64-i686-dev)
[ -d /usr/src/googletest ] || need+=(googletest)
have wine || need+=(wine)
have valgrind || need+=(valgrind)
[ -e /usr/lib/wine/wine ] || need+=(wine32:i386)
[ -e /usr/include/stb/stb_image_write.h ] || need+=(libstb-dev)
[ -e /usr/lib/python3/dist-packages/PIL/__init__.py ] || need+=(python3-pil)
[ -e /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf ] || need+=(fonts-dejavu-core)
[ -e /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf ] || need+=(fonts-liberation)
[ -e /usr/lib/python3/dist-packages/pefile.py ] || need+=(python3-pefile)
# The live viewer: Debian's cpp-httplib in its 32-bit build, and for its
# browser test Chromium and Node.js.
[ -e /usr/lib/i386-linux-gnu/libcpp-httplib.so ] || need+=(libcpp-httplib-dev:i386)
[ -e /usr/bin/chromium ] || need+=(chromium)
have node || need+=(nodejs)
have npm || need+=(npm)

# The fuzz target alone needs clang and its runtime (libFuzzer).
if [ "${1:-}" = fuzz ]; then
  have clang++ || need+=(clang)
  [ -e /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-i386.a ] || need+=(libclang-rt-14-dev)
fi

# playwright-core, which drives Chromium in the browser test (no browser
# download: it uses Debian's).
browser_modules() {
  local here
  here=$(cd "$(dirname "$0")/.." && pwd)
  if [ ! -d "$here/tests/browser/node_modules/playwright-core" ]; then
    (cd "$here/tests/browser" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)
  fi
}

if [ ${#need[@]} -eq 0 ]; then
  browser_modules
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${need[*]}); run as root or install them" >&2
  exit 1
fi

echo "install-deps: installing ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
browser_modules
