#!/usr/bin/env bash
# A real Prometheus server scrapes vantorel-cli serve every second; while known
# loopback traffic flows, its query API must agree with /proc.
set -euo pipefail
cli=$1
work=$(mktemp -d /tmp/vantorel-prometheus-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

"$cli" serve --listen 127.0.0.1:0 > "$work/serve.out" 2> "$work/serve.err" &
pids+=($!)
for _ in $(seq 50); do grep -q serving "$work/serve.out" && break; sleep 0.1; done
exporter=$(sed -n 's|serving http://\(.*\)/metrics|\1|p' "$work/serve.out")
[ -n "$exporter" ] || { cat "$work/serve.err"; exit 1; }

port=$(free_port)
cat > "$work/prometheus.yml" <<YML
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: vantorel
    static_configs:
      - targets: ['$exporter']
YML
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/data" \
    --web.listen-address="127.0.0.1:$port" --log.level=warn > "$work/prometheus.log" 2>&1 &
pids+=($!)

query() {  # prints the first result's value, or nothing
    curl -sf --get "http://127.0.0.1:$port/api/v1/query" --data-urlencode "query=$1" |
        python3 -c 'import json,sys; r=json.load(sys.stdin)["data"]["result"]; print(r[0]["value"][1] if r else "")'
}
lo_rx() { awk '$1 == "lo:" { print $2 }' /proc/net/dev; }

# Known traffic on lo: 2 MB a second from a local sender to a local sink.
python3 - "$work" <<'PY' &
import socket, sys, time, threading
sink = socket.socket(); sink.bind(("127.0.0.1", 0)); sink.listen(1)
def drain():
    c, _ = sink.accept()
    while c.recv(1 << 16): pass
threading.Thread(target=drain, daemon=True).start()
out = socket.create_connection(sink.getsockname())
chunk = b"x" * 200000
while True:
    for _ in range(10): out.sendall(chunk)
    time.sleep(1)
PY
pids+=($!)

# Wait until Prometheus has a rate over 5 s of scrapes.
rate=""
for _ in $(seq 40); do
    sleep 0.5
    rate=$(query 'rate(vantorel_network_interface_received_bytes_total{interface="lo"}[5s])' || true)
    [ -n "$rate" ] && [ "$(python3 -c "print(float('$rate') > 0)")" = True ] && break
done
[ -n "$rate" ] || { echo "Prometheus never had the rate"; cat "$work/prometheus.log"; exit 1; }
sleep 5  # a window of steady traffic
before=$(lo_rx); t0=$(date +%s.%N); sleep 5; after=$(lo_rx); t1=$(date +%s.%N)
rate=$(query 'rate(vantorel_network_interface_received_bytes_total{interface="lo"}[5s])')
proc_rate=$(python3 -c "print(($after - $before) / ($t1 - $t0))")
echo "rate(lo received)[5s]: prometheus $rate B/s, /proc/net/dev $proc_rate B/s"
python3 -c "import sys; p, r = $rate, $proc_rate; sys.exit(0 if abs(p - r) <= 0.25 * r else 1)" ||
    { echo "the rate disagrees with /proc"; exit 1; }

avail=$(query 'vantorel_memory_available_bytes')
proc_avail=$(awk '/^MemAvailable:/ { print $2 * 1024 }' /proc/meminfo)
echo "available memory: prometheus $avail bytes, /proc/meminfo $proc_avail bytes"
python3 -c "import sys; p, r = $avail, $proc_avail; sys.exit(0 if abs(p - r) <= 0.05 * r else 1)" ||
    { echo "available memory disagrees with /proc"; exit 1; }

up=$(query 'up{job="vantorel"}')
[ "$up" = 1 ] || { echo "the target is not up"; exit 1; }
busy=$(query 'sum(rate(vantorel_processor_time_seconds_total[5s]))')
echo "busy cpus: $busy (sum of rate of processor time seconds)"
