#!/usr/bin/env bash
# Checks a package built by scripts/package.sh: every installed file is in it, it unpacks into a
# scratch root where the recorder runs, and the desktop entry and the metainfo pass their validators.
#   scripts/check_package.sh PACKAGE.deb
set -euo pipefail
deb=$1
listing=$(dpkg-deb -c "$deb")
missing=0
for file in usr/bin/hollowmere usr/bin/hollowmere-record usr/bin/hollowmere-sim usr/bin/hollowmere-stats \
            usr/share/man/man1/hollowmere.1.gz usr/share/man/man1/hollowmere-record.1.gz \
            usr/share/man/man1/hollowmere-sim.1.gz usr/share/man/man1/hollowmere-stats.1.gz \
            usr/share/applications/hollowmere.desktop \
            usr/share/metainfo/io.github.hollowmere.Hollowmere.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/hollowmere.svg \
            usr/share/icons/hicolor/{16x16,32x32,48x48,128x128,256x256}/apps/hollowmere.png \
            usr/lib/udev/rules.d/60-hollowmere-dongle.rules; do
    if ! grep -q " \./$file\$" <<<"$listing"; then
        echo "missing from the package: $file"
        missing=1
    fi
done
[ $missing -eq 0 ]
if grep -q "@HID_VID@" <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/udev/rules.d/60-hollowmere-dongle.rules); then
    echo "the udev rule still holds the placeholder"
    exit 1
fi
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || { echo "no library dependencies"; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
HOME="$root/home" "$root/usr/bin/hollowmere-record" --help | grep -q "Usage: hollowmere-record"
"$root/usr/bin/hollowmere" --help | grep -q "Usage: hollowmere"
zcat "$root/usr/share/man/man1/hollowmere-record.1.gz" | grep -q "runs a measurement with the application"
"$root/usr/bin/hollowmere-stats" --help | grep -q "Usage: hollowmere-stats"
zcat "$root/usr/share/man/man1/hollowmere-stats.1.gz" | grep -q "rate_per_min"
desktop-file-validate "$root/usr/share/applications/hollowmere.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.hollowmere.Hollowmere.metainfo.xml"
echo "package checked: $deb"
