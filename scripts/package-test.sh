#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The package test: slow (a Release build and a fresh Debian 12 root from the network), so it is
# neither in ctest nor in scripts/test.sh. Run it as root:
#
#   scripts/package-test.sh [BUILD-DIR]        (default: build-package)
#
# 1. Builds velmora in Release with the flags Debian builds packages with (dpkg-buildflags:
#    hardening, fortify, relro and bindnow) and makes the .deb with `cpack -G DEB`.
# 2. Runs lintian on it: any error (E:) fails; the warnings it prints are the known ones.
# 3. Makes a minimal Debian 12 root with mmdebstrap from Debian's mirror (VELMORA_MIRROR,
#    deb.debian.org by default) and installs the .deb there with apt, so that the package's
#    Depends alone must pull in everything velmora needs. The root only lives during the
#    mmdebstrap run (its hooks run the checks inside); nothing is written to the system.
# 4. In that root: `velmora --version` prints the version; `velmora sources` without DISPLAY
#    exits 2 saying "DISPLAY is not set"; on an Xvfb started here (reached through its abstract
#    socket, which a chroot shares) `velmora sources` lists its layouts us and de, and the agent
#    runs for 4 seconds without a word about missing Qt plugins and exits 0 on SIGTERM.
# About 4 minutes once the build is done (mmdebstrap downloads some 130 MB).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build-package}")
mirror=${VELMORA_MIRROR:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "velmora: the package test runs as root (mmdebstrap, chroot)" >&2; exit 1; }
"$top/scripts/deps.sh"
tools=(dpkg-dev fakeroot lintian mmdebstrap xvfb)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"

echo "== Release build with Debian's flags in $build"
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS" # CMake does not read CPPFLAGS; debhelper adds them the same way
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF \
  -DVELMORA_BUILD_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/velmora_*.deb)
echo "== $deb"
dpkg-deb --field "$deb"
dpkg-deb --contents "$deb" | awk '{print $1, $6}'

echo "== lintian"
report=$(lintian --info "$deb" 2>&1 || true)
echo "${report:-(nothing)}"
if grep -q '^E:' <<<"$report"; then
  echo "velmora: lintian reports errors" >&2
  exit 1
fi

echo "== install into a fresh Debian 12 root and run velmora there"
# A free display of Xvfb's own choosing (-displayfd): the display number file is the sign that
# it listens. -noreset keeps the keymap of setxkbmap when its last client leaves.
checks=$(mktemp /tmp/velmora-package-checks.XXXXXX)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$checks.display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$checks" "$checks.display"' EXIT
for _ in $(seq 100); do grep -qx '[0-9][0-9]*' "$checks.display" 2>/dev/null && break; sleep 0.1; done
display=$(cat "$checks.display")
setxkbmap -display :$display -layout us,de

# The checks, run by an mmdebstrap hook once the package is installed: ROOT DISPLAY VERSION.
cat >"$checks" <<'EOF'
set -euo pipefail
root=$1 display=$2 expected=$3
environment=(env -i HOME=/root PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR=/tmp/runtime)
mkdir -p -m 0700 "$root/tmp/runtime"
run() { chroot "$root" "${environment[@]}" "$@"; }
version=$(run velmora --version)
echo "velmora --version: $version"
[ "$version" = "velmora $expected" ]
status=0
out=$(run velmora sources 2>&1) || status=$?
echo "velmora sources without a display: exit $status, \"$out\""
[ "$status" = 2 ] && [ "$out" = "velmora: DISPLAY is not set" ]
out=$(run DISPLAY=$display velmora sources)
echo "velmora sources on Xvfb:"
echo "$out"
grep -q '^xkb:us'$'\t' <<<"$out" && grep -q '^xkb:de'$'\t' <<<"$out"
# chroot and env exec: the process started here is the agent itself.
chroot "$root" "${environment[@]}" DISPLAY=$display velmora >"$root/tmp/agent.log" 2>&1 &
agent=$!
trap 'kill -KILL $agent 2>/dev/null || true' EXIT
sleep 4
kill -TERM $agent
status=0
wait $agent || status=$?
echo "the agent on Xvfb: exit $status after SIGTERM; it said:"
cat "$root/tmp/agent.log"
[ "$status" = 0 ]
! grep -qiE 'plugin|cannot read SVG' "$root/tmp/agent.log"
echo "velmora: the package works in a fresh Debian 12"
EOF
version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
mmdebstrap --variant=apt --mode=root --format=null \
  --customize-hook="copy-in $deb /tmp" \
  --customize-hook="chroot \"\$1\" apt-get install -y -qq --no-install-recommends /tmp/$(basename "$deb") >/dev/null" \
  --customize-hook="bash $checks \"\$1\" :$display $version" \
  bookworm /dev/null "$mirror"
