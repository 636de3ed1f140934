#!/usr/bin/env bash
# Copies the text of the kernel files the performance-data library reads into
# tests/fixtures/NAME/{proc,sys}/..., keeping their paths, so that a test can use
# tests/fixtures/NAME/ as the root of a tree.
#   scripts/capture-proc-fixture.sh NAME [PID...]
# Without PIDs it takes 1, 2 (a kernel thread on most systems), self, the shell
# running this script and its parent.
set -euo pipefail

if [[ $# -lt 1 || -z "$1" || "$1" == */* ]]; then
    echo "usage: $0 NAME [PID...]" >&2
    exit 2
fi
name=$1
shift
root="$(cd "$(dirname "$0")/.." && pwd)/tests/fixtures/$name"
pids=("$@")
if [[ ${#pids[@]} -eq 0 ]]; then
    pids=(1 2 self $$ "$PPID")
fi

# /proc files report a size of 0, so cp may copy nothing: read them with cat.
copy() {
    local src=$1 dst="$root$1"
    mkdir -p "$(dirname "$dst")"
    if ! cat "$src" >"$dst" 2>/dev/null; then
        rm -f "$dst"
        echo "skipped $src (unreadable)" >&2
    fi
}

rm -rf "$root"
for f in stat meminfo vmstat loadavg uptime net/dev net/snmp net/netstat net/snmp6 \
         net/sockstat net/sockstat6 diskstats self/mountinfo interrupts swaps sys/fs/file-nr cpuinfo; do
    copy "/proc/$f"
done
# Only the pressure files this kernel has (none before 4.20, irq since 6.1).
for f in /proc/pressure/*; do
    [[ -e "$f" ]] && copy "$f"
done
for pid in "${pids[@]}"; do
    for f in stat status io; do
        copy "/proc/$pid/$f"
    done
done

# /sys/block holds symbolic links; keep each name as a directory holding its
# "dev" file (major:minor), which also keeps the directory in version control.
mkdir -p "$root/sys/block"
for dev in /sys/block/*; do
    [[ -e "$dev" ]] || continue
    mkdir -p "$root/sys/block/$(basename "$dev")"
    copy "$dev/dev"
done
for ifdir in /sys/class/net/*; do
    [[ -e "$ifdir" ]] || continue
    mkdir -p "$root/sys/class/net/$(basename "$ifdir")"
    # Reading speed fails (EINVAL) on links that have no speed: keep no file.
    copy "$ifdir/speed"
done
for node in /sys/devices/system/node/node[0-9]*; do
    [[ -e "$node" ]] && copy "$node/meminfo"
done
# Each cpu's clock where the machine has cpufreq (a virtual machine often has not).
for cpu in /sys/devices/system/cpu/cpu[0-9]*; do
    for f in scaling_cur_freq cpuinfo_max_freq; do
        [[ -e "$cpu/cpufreq/$f" ]] && copy "$cpu/cpufreq/$f"
    done
done
echo "captured $root"
