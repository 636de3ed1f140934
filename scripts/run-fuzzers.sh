#!/usr/bin/env bash
# Runs every fuzz target of a VANTOREL_FUZZ build for a bounded time, each on a
# copy of its seed corpus (the checked-in corpus is never written to).
#   scripts/run-fuzzers.sh BUILD_DIR SECONDS
# Exits non-zero if any target finds a crash; its reproducer is kept in
# BUILD_DIR/fuzz-findings/NAME/.
set -euo pipefail

if [[ $# -ne 2 || ! -d "$1" || ! "$2" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 BUILD_DIR SECONDS" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
corpora="$(cd "$(dirname "$0")/.." && pwd)/fuzz/corpus"
work="$build/fuzz-work"
findings="$build/fuzz-findings"

mapfile -t targets < <(find "$build" -type f -name 'fuzz_*' -perm -u+x -not -path '*/CMakeFiles/*' | sort)
if [[ ${#targets[@]} -eq 0 ]]; then
    echo "no fuzz targets in $build (configure with -DVANTOREL_FUZZ=ON)" >&2
    exit 1
fi

failed=()
for target in "${targets[@]}"; do
    name=$(basename "$target")
    name=${name#fuzz_}
    rm -rf "${work:?}/$name"
    mkdir -p "$work/$name" "$findings/$name"
    if [[ -d "$corpora/$name" ]]; then
        cp -r "$corpora/$name/." "$work/$name/"
    fi
    echo "== $name: ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -rss_limit_mb=1024 -print_final_stats=1 \
            -artifact_prefix="$findings/$name/" "$work/$name" \
            >"$findings/$name/log" 2>&1; then
        failed+=("$name")
        tail -n 30 "$findings/$name/log" >&2
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$findings/$name/log" || true
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzzers with findings: ${failed[*]}" >&2
    exit 1
fi
echo "all ${#targets[@]} fuzzers ran ${seconds}s clean"
