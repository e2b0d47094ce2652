#!/bin/sh
# Whole uploads against vorlek-meter, then the window's instructions per
# record under callgrind: during a real upload, and over the direct passes
# whose native time the first step measured, which turns instructions into
# time on this machine.
#   bench/upload/run.sh BIN_DIR [VALGRIND]
set -eu
bin=$1
valgrind=${2:-valgrind}
export QT_QPA_PLATFORM=offscreen
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$bin/bench_upload_window" --runs "${RUNS:-3}" --direct 3 | tee "$out/native.txt"
native_ns=$(awk '/^direct-total-ns/ { print $2 / $4 }' "$out/native.txt")

if ! command -v "$valgrind" >/dev/null 2>&1; then
    echo "valgrind not found: no instruction counts"
    exit 0
fi

# Instructions inside the receive handler, inclusive, per call. The name is
# given whole: a wildcard would also match the handler's own dispatch lambda,
# and entering that would toggle the count off.
counted() {
    file=$1
    calls=$2
    total=$(callgrind_annotate "$file" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
    echo "$total $calls" | awk '{ printf "%.0f", $1 / $2 }'
}

echo
echo "callgrind: one whole upload (the meter's timing is real, the window runs slowed down)"
"$valgrind" --tool=callgrind --callgrind-out-file="$out/upload.cg" \
    --toggle-collect='TForm1::CPDReceiveData(QByteArray const&)' \
    "$bin/bench_upload_window" --runs 1 --direct 0 --timeout 600 >"$out/upload.txt" 2>"$out/upload.err" || true
grep '^run 1' "$out/upload.txt" || true
upload_ir=$(counted "$out/upload.cg" 288)

# Everything the window's thread does while the upload runs, repaints included.
"$valgrind" --tool=callgrind --callgrind-out-file="$out/loop.cg" \
    --toggle-collect='QEventLoop::exec*' \
    "$bin/bench_upload_window" --runs 1 --direct 0 --timeout 600 >"$out/loop.txt" 2>"$out/loop.err" || true
loop_ir=$(counted "$out/loop.cg" 288)

"$valgrind" --tool=callgrind --callgrind-out-file="$out/direct.cg" \
    --toggle-collect='TForm1::CPDReceiveData(QByteArray const&)' \
    "$bin/bench_upload_window" --runs 0 --direct 3 >"$out/direct.txt" 2>"$out/direct.err"
direct_calls=$(awk '/^direct-total-ns/ { print $4 }' "$out/direct.txt")
direct_ir=$(counted "$out/direct.cg" "$direct_calls")

echo "$upload_ir $direct_ir $native_ns $loop_ir" | awk '{
    per_ns = $2 / $3
    printf "instructions per record: %d during an upload, %d in the direct passes\n", $1, $2
    printf "calibration: direct passes natively %.1f us a call -> %.2f instructions/ns\n", $3 / 1000, per_ns
    printf "own work per record, estimated: %.1f us  target under 1 ms: %s\n", $1 / per_ns / 1000, ($1 / per_ns < 1e6) ? "met" : "MISSED"
    printf "all work of the window thread per record (repaints included): %d instructions, about %.1f us\n", $4, $4 / per_ns / 1000
}'
