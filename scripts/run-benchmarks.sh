#!/usr/bin/env bash
# Runs every benchmark of a Release build; each reports its `ratio` to a baseline
# measured in the same run.
set -euo pipefail
build=${1:-build-release}
export QT_QPA_PLATFORM=offscreen
status=0
while IFS= read -r bench; do
    echo "== $(basename "$bench")"
    "$bench" --benchmark_counters_tabular=true 2> >(grep -v '^This plugin does not support' >&2) || status=1
done < <(find "$build/bench" -type f -name 'bench_*' -perm -u+x | sort)
exit $status
