#!/usr/bin/env bash
# Checks what a distribution sees: validates the desktop entry and the AppStream metadata, builds the
# Debian package from build/default, installs it, runs the installed programs, removes the package
# and checks that nothing of it stays behind, then runs lintian. Runs as root after the default build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh desktop-file-utils appstream lintian file clang

app_id=io.github.pinprobe.Pinprobe
echo "-- desktop-file-validate"
desktop-file-validate "data/$app_id.desktop" && echo "valid"
echo "-- appstreamcli validate --no-net"
appstreamcli validate --no-net "data/$app_id.metainfo.xml"

echo "-- cpack"
rm -f build/default/pinprobe_*.deb
cpack --preset deb
deb=$(echo build/default/pinprobe_*.deb)
dpkg-deb --field "$deb" Package Version Depends
# The decoders, the session files and the RealtimeKit client need their libraries at run time.
for runtime in libsigrokdecode4 libzip4 libsystemd0; do
  dpkg-deb --field "$deb" Depends | grep -q "$runtime" ||
    { echo "the package does not depend on $runtime"; exit 1; }
done

echo "-- apt-get install"
DEBIAN_FRONTEND=noninteractive apt-get install -y "./$deb"
echo "\$ pinprobe-cli --version" && /usr/bin/pinprobe-cli --version
echo "\$ pinprobe-cli decoders uart | head -1" && /usr/bin/pinprobe-cli decoders uart | head -1
echo "\$ pinprobe --help" && /usr/bin/pinprobe --help
grep -q "application/x-pinprobe-scope:\*\.sco" /usr/share/mime/globs2
echo "the .sco file type is registered"

echo "-- apt-get remove"
DEBIAN_FRONTEND=noninteractive apt-get remove -y pinprobe
status=$(dpkg-query -W -f='${db:Status-Status}' pinprobe 2>/dev/null || echo not-installed)
[ "$status" = not-installed ] || { echo "pinprobe is left as: $status"; exit 1; }
left=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's/^\.//' | grep -v '/$' |
       while read -r path; do [ ! -e "$path" ] || echo "$path"; done)
[ -z "$left" ] || { echo "left behind:"; echo "$left"; exit 1; }
grep -q "application/x-pinprobe-scope" /usr/share/mime/globs2 && { echo "file type left"; exit 1; }
echo "removed cleanly"

echo "-- a build without the GUI installs only what it built"
# Unoptimised (no build type) and by clang, the faster compiler here: what it installs is all this
# build is for.
cmake -S . -B build/headless -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 -DPINPROBE_BUILD_GUI=OFF \
  -DPINPROBE_BUILD_TESTS=OFF -DPINPROBE_BUILD_BENCH=OFF >/dev/null
cmake --build build/headless -j2 >/dev/null
rm -rf build/headless/stage
DESTDIR="$PWD/build/headless/stage" cmake --install build/headless --prefix /usr >/dev/null
installed=$(cd build/headless/stage && find . -type f | sort | tr '\n' ' ')
echo "$installed"
[ "$installed" = "./usr/bin/pinprobe-cli ./usr/share/doc/pinprobe/changelog.gz \
./usr/share/doc/pinprobe/copyright ./usr/share/man/man1/pinprobe-cli.1.gz " ] ||
  { echo "unexpected files installed"; exit 1; }

echo "-- lintian"
lintian --display-info --fail-on error "$deb"
echo "lintian: no errors"
