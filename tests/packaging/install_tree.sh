#!/usr/bin/env bash
# cmake --install puts exactly the expected files under a prefix, and the
# installed vantorel-cli runs and says the project's version.
set -euo pipefail
build_dir=$1
expected=$2
version=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
diff -u "$expected" <(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
[ "$("$prefix/bin/vantorel-cli" --version)" = "vantorel-cli $version" ]
gzip -t "$prefix"/share/man/man1/*.gz "$prefix/share/doc/vantorel/changelog.gz"
