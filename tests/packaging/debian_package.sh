#!/usr/bin/env bash
# Builds the .deb, checks it with lintian, installs it into a throwaway root,
# runs the installed vantorel-cli and removes the package again: every file it
# added must go.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
lintian --fail-on error "$deb"

version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6core6 libqt6widgets6; do
    [[ $depends == *"$lib "* ]] || { echo "Depends lacks $lib: $depends"; exit 1; }
done

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
find "$root" | LC_ALL=C sort >"$work/before"
# The throwaway root has no Qt: the libraries come from the machine.
dpkg --root="$root" --force-depends --log=/dev/null -i "$deb" >/dev/null
dpkg --root="$root" -L vantorel | grep -qx /usr/bin/vantorel-cli
dpkg --root="$root" -L vantorel | grep -qx /usr/share/applications/org.vantorel.Vantorel.desktop
[ "$("$root/usr/bin/vantorel-cli" --version)" = "vantorel-cli $version" ]

dpkg --root="$root" --force-depends --log=/dev/null -r vantorel >/dev/null
# dpkg keeps its own records; nothing else may be left.
find "$root" -path "$root/var/lib/dpkg" -prune -o -print | LC_ALL=C sort >"$work/after"
grep -v "^$root/var/lib/dpkg/" "$work/before" | grep -vx "$root/var/lib/dpkg" >"$work/before-files"
diff -u "$work/before-files" "$work/after"
