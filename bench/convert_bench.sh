#!/usr/bin/env bash
# End-to-end conversion benchmark: builds vialto-convert in Release, writes a
# synthetic 100 km road (about 2,000 horizontal elements, 10,000 cross
# sections of 4 layers x 12 points) and a 20 km double track with
# bench/make_synthetic_job.py, converts each job through vialto-convert and
# prints wall time, CPU time, peak memory and output size, next to the time
# of merely reading the job's inputs and of writing a file of the output's
# size.
#
# Usage: bench/convert_bench.sh [-r RUNS] [-k] [-n] [-- GENERATOR OPTIONS]
#   -r RUNS   convert each job RUNS times (default 1); the table shows the
#             fastest wall time and the largest peak memory
#   -k        keep the temporary folder (jobs, outputs, converter logs)
#   -n        do not build; use the converter already in the build folder
#   GENERATOR OPTIONS go to make_synthetic_job.py, e.g. -- --road-km 10
#             --stations 1000 for a quick run, or -- --cross-form trv
# Environment: BUILD_DIR (default build-bench under the repository),
#   CONVERT_TIMEOUT seconds per conversion (default 900).
#
# The inputs are read right after they were written, so the read baseline
# measures reading from the page cache; the write baseline writes zeros into
# the page cache without syncing. Both are the floor any conversion pays.
# Exit status: 0 when every conversion exited 0, 1 otherwise.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build-bench}
TIMEOUT=${CONVERT_TIMEOUT:-900}
RUNS=1
KEEP=0
BUILD_IT=1
while getopts "r:kn" opt; do
    case $opt in
    r) RUNS=$OPTARG ;;
    k) KEEP=1 ;;
    n) BUILD_IT=0 ;;
    *) sed -n '2,23p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[[ $RUNS =~ ^[1-9][0-9]*$ ]] || { echo "convert_bench: -r needs a positive whole number" >&2; exit 2; }

BIN=$BUILD/bin/vialto-convert
if ((BUILD_IT)); then
    echo "== building vialto-convert (Release) in $BUILD"
    mkdir -p "$BUILD"
    if ! { cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIALTO_WITH_QT=OFF &&
        ninja -C "$BUILD" -j2 vialto-convert; } >"$BUILD/convert_bench_build.log" 2>&1; then
        tail -n 40 "$BUILD/convert_bench_build.log" >&2
        echo "convert_bench: the build failed (log: $BUILD/convert_bench_build.log)" >&2
        exit 1
    fi
fi
[[ -x $BIN ]] || { echo "convert_bench: no converter at $BIN" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vialto-bench.XXXXXX")
if ((KEEP)); then
    trap 'echo "kept: $WORK"' EXIT
else
    trap 'rm -rf "$WORK"' EXIT
fi

GNU_TIME=""
if [[ -x /usr/bin/time ]] && /usr/bin/time -v true >/dev/null 2>&1; then
    GNU_TIME=/usr/bin/time
else
    echo "note: /usr/bin/time (GNU) is missing: wall time from bash, peak memory unknown"
fi

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

echo "== writing the synthetic jobs into $WORK/jobs"
t0=$(now)
python3 "$ROOT/bench/make_synthetic_job.py" "$WORK/jobs" "$@"
t1=$(now)
echo "   generated in $(elapsed "$t0" "$t1") s"

# The input files a job names: every value that is a file next to the job.
job_inputs() {
    local job=$1 dir key value
    dir=$(dirname "$job")
    while IFS='=' read -r key value; do
        key=${key//[[:space:]]/}
        value=$(echo "$value" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//')
        [[ -z $key || $key == \#* || -z $value ]] && continue
        [[ -f $dir/$value ]] && echo "$dir/$value"
    done <"$job"
}

# Seconds from GNU time's "h:mm:ss" or "m:ss.ss".
clock_seconds() {
    awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.3f", s }' <<<"$1"
}

field() { # field NAME FILE: the value after "NAME: " in GNU time's report
    sed -n "s/^[[:space:]]*$1: //p" "$2" | head -n 1
}

mib() { awk -v k="$1" 'BEGIN { if (k == "") print "?"; else printf "%.1f", k / 1024 }'; }

failed=0
rows=()
for name in road double-rail; do
    job=$WORK/jobs/$name.job
    out=$WORK/$name.xml
    mapfile -t inputs < <(job_inputs "$job")
    in_bytes=$(cat "${inputs[@]}" | wc -c)
    best_wall="" peak_kb="" user="" sys=""
    echo "== converting $name (${#inputs[@]} input files, $in_bytes bytes), $RUNS run(s)"
    for ((run = 1; run <= RUNS; run++)); do
        rm -f "$out"
        rc=0
        if [[ -n $GNU_TIME ]]; then
            "$GNU_TIME" -v -o "$WORK/$name.time" timeout "$TIMEOUT" \
                "$BIN" --job-file "$job" -o "$out" >"$WORK/$name.stdout" 2>"$WORK/$name.stderr" || rc=$?
            wall=$(clock_seconds "$(field 'Elapsed (wall clock) time (h:mm:ss or m:ss)' "$WORK/$name.time")")
            kb=$(field 'Maximum resident set size (kbytes)' "$WORK/$name.time")
            u=$(field 'User time (seconds)' "$WORK/$name.time")
            s=$(field 'System time (seconds)' "$WORK/$name.time")
        else
            t0=$(now)
            timeout "$TIMEOUT" "$BIN" --job-file "$job" -o "$out" \
                >"$WORK/$name.stdout" 2>"$WORK/$name.stderr" || rc=$?
            t1=$(now)
            wall=$(elapsed "$t0" "$t1") kb="" u="?" s="?"
        fi
        if ((rc != 0)); then
            if ((rc == 124)); then
                echo "convert_bench: $name did not finish within $TIMEOUT s" >&2
            else
                echo "convert_bench: $name failed with exit status $rc; its messages:" >&2
            fi
            # The converter reports the checks' findings on stdout, the verdict on stderr.
            tail -n 40 "$WORK/$name.stdout" >&2
            sed -n '1,60p' "$WORK/$name.stderr" >&2
            failed=1
            rows+=("$(printf '%-12s %10s  FAILED (exit status %s)' "$name" "$in_bytes" "$rc")")
            continue 2
        fi
        echo "   run $run: wall $wall s, peak $(mib "$kb") MiB"
        if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
            best_wall=$wall user=$u sys=$s
        fi
        if [[ -n $kb ]] && { [[ -z $peak_kb ]] || ((kb > peak_kb)); }; then
            peak_kb=$kb
        fi
    done
    out_bytes=$(wc -c <"$out")

    # Baselines: read the inputs, write zeros of the output's size.
    t0=$(now)
    cat "${inputs[@]}" >/dev/null
    t1=$(now)
    read_s=$(elapsed "$t0" "$t1")
    t0=$(now)
    head -c "$out_bytes" /dev/zero >"$WORK/$name.zeros"
    t1=$(now)
    write_s=$(elapsed "$t0" "$t1")
    rm -f "$WORK/$name.zeros"

    rows+=("$(printf '%-12s %10s %10s %9s %9s %9s %10s %9s %9s' "$name" "$in_bytes" "$out_bytes" \
        "$best_wall" "$user" "$sys" "$(mib "$peak_kb")" "$read_s" "$write_s")")
done

echo
echo "converter: $BIN"
echo "machine:   $(nproc) core(s), $(uname -sr)"
printf '%-12s %10s %10s %9s %9s %9s %10s %9s %9s\n' job "in bytes" "out bytes" "wall s" "user s" \
    "sys s" "peak MiB" "read s" "write s"
for row in "${rows[@]}"; do
    echo "$row"
done
echo "(wall: fastest of $RUNS run(s), user/sys of that run; peak: largest maximum resident set;"
echo " read: cat of the inputs to /dev/null; write: zeros of the output's size to a file)"
exit "$failed"
