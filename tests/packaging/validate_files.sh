#!/usr/bin/env bash
# The files a desktop reads, checked by the tools the distribution checks them with.
set -euo pipefail
source_dir=$1
build_dir=$2
fail=0

desktop-file-validate "$source_dir/packaging/org.vantorel.Vantorel.desktop" || fail=1
appstreamcli validate --no-net "$build_dir/packaging/org.vantorel.Vantorel.metainfo.xml" || fail=1

for page in vantorel vantorel-cli; do
    # man prints the page on stdout and every complaint of the formatter on stderr.
    warnings=$(MANWIDTH=80 man --warnings -l "$build_dir/packaging/man/$page.1.gz" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "$page.1: $warnings"
        fail=1
    fi
    MANWIDTH=80 man -l "$build_dir/packaging/man/$page.1.gz" 2>/dev/null | grep -q "^NAME" ||
        { echo "$page.1 does not render"; fail=1; }
done
exit $fail
