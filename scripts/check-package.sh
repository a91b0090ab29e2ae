#!/usr/bin/env bash
# Checks what a distribution sees: validates the desktop entry and the AppStream metadata, builds the
# Debian package from build/default, installs it, runs the installed programs, removes the package
# and checks that nothing of it stays behind, then runs lintian. Runs as root after the default build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh desktop-file-utils appstream lintian

app_id=io.github.pinprobe.Pinprobe
echo "-- desktop-file-validate"
desktop-file-validate "data/$app_id.desktop"
echo "-- appstreamcli validate --no-net"
appstreamcli validate --no-net "data/$app_id.metainfo.xml"

echo "-- cpack"
rm -f build/default/pinprobe_*.deb
cpack --preset deb
deb=$(echo build/default/pinprobe_*.deb)
dpkg-deb --field "$deb" Package Version Depends

echo "-- apt-get install"
DEBIAN_FRONTEND=noninteractive apt-get install -y "./$deb"
echo "\$ pinprobe-cli --version" && /usr/bin/pinprobe-cli --version
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

echo "-- lintian"
lintian --info --display-info --fail-on error "$deb"
