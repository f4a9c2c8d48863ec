#!/usr/bin/env bash
# End-to-end conversion benchmark: builds vialto-convert in Release, writes
# synthetic jobs with bench/make_synthetic_job.py, converts each through
# vialto-convert and prints wall time, CPU time, peak memory and output size,
# next to the time of merely reading the job's inputs and of writing a file of
# the output's size (the I/O floor), and the wall time per kilometre: whole,
# and net of the converter's fixed start (the same clock around the converter
# started without arguments: the process start, the clock's and the timer's
# own programs), the part that should not grow with the length; with -p also
# without the proof, for what reading the document back and comparing it with
# the imported design costs.
#
# The jobs: roads of each length of -s (default 1, 10 and 100 km; each runs
# about 0.2 km longer, and its per-kilometre figures use the length laid
# out; a cross section of 4 layers x 12 points every 10 m, about 20
# horizontal elements a kilometre; the cost per kilometre should not grow
# with the length), the
# 20 km double track with its long curves (about 50 elements per alignment)
# and the same track laid out at a real line's density (-e, default 480
# elements per alignment), both tracks' profiles generated from the centre
# line.
#
# Usage: bench/convert_bench.sh [-r RUNS] [-s "KM ..."] [-e ELEMENTS]
#                               [-c OTHER_CONVERTER] [-p] [-k] [-n] [-- GENERATOR OPTIONS]
#   -r RUNS   convert each job RUNS times (default 1); the table shows the
#             median wall time and the largest peak memory
#   -s KMS    the road lengths, in km (default "1 10 100")
#   -e N      elements per alignment of the dense double track (default 480;
#             0 leaves it out)
#   -c BIN    a second converter (an earlier build) run on the same jobs,
#             interleaved run by run with this one, so that both see the same
#             load; its rows are marked "*"
#   -p        convert each job also with --no-proof, interleaved run by run;
#             its rows are marked "-" ("*-" for the second converter's), and
#             a last table gives the proof's cost
#   -k        keep the temporary folder (jobs, outputs, converter logs)
#   -n        do not build; use the converter already in the build folder
#   GENERATOR OPTIONS go to every make_synthetic_job.py call, e.g. --
#             --cross-form trv
# Environment: BUILD_DIR (default build-bench under the repository),
#   CONVERT_TIMEOUT seconds per conversion (default 900).
#
# The inputs are read right after they were written, so the read baseline
# measures reading from the page cache; the write baseline writes zeros into
# the page cache without syncing. Both are the floor any conversion pays.
# The start is measured once per converter, as a median of 15 runs.
# Exit status: 0 when every conversion exited 0, 1 otherwise.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build-bench}
TIMEOUT=${CONVERT_TIMEOUT:-900}
RUNS=1
KEEP=0
BUILD_IT=1
SIZES="1 10 100"
DENSE=480
OTHER=""
NO_PROOF=0
while getopts "r:s:e:c:pkn" opt; do
    case $opt in
    r) RUNS=$OPTARG ;;
    s) SIZES=$OPTARG ;;
    e) DENSE=$OPTARG ;;
    c) OTHER=$OPTARG ;;
    p) NO_PROOF=1 ;;
    k) KEEP=1 ;;
    n) BUILD_IT=0 ;;
    *) sed -n '2,45p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[[ $RUNS =~ ^[1-9][0-9]*$ ]] || { echo "convert_bench: -r needs a positive whole number" >&2; exit 2; }
[[ $DENSE =~ ^[0-9]+$ ]] || { echo "convert_bench: -e needs a whole number" >&2; exit 2; }
for km in $SIZES; do
    [[ $km =~ ^[1-9][0-9]*$ ]] || { echo "convert_bench: -s needs whole kilometres" >&2; exit 2; }
done
[[ -z $OTHER || -x $OTHER ]] || { echo "convert_bench: no converter at $OTHER" >&2; exit 2; }

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
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", b - a }'; }

# Each job in a folder of its own: NAME, its job file, its length in km.
JOBS=()
echo "== writing the synthetic jobs into $WORK"
t0=$(now)
for km in $SIZES; do
    python3 "$ROOT/bench/make_synthetic_job.py" "$WORK/road-$km" --only road --road-km "$km" \
        --stations 0 "$@"
    # Per kilometre of the road as laid out, as its job file says: its last
    # curve runs past the length asked (a 1 km road is 1.2 km long), and its
    # cross sections, one every 10 m, cover it all.
    length=$(sed -n 's/^# A synthetic road of \([0-9.]*\) km.*/\1/p' "$WORK/road-$km/road.job")
    JOBS+=("road-${km}km $WORK/road-$km/road.job ${length:-$km}")
done
python3 "$ROOT/bench/make_synthetic_job.py" "$WORK/rail" --only rail "$@"
JOBS+=("double-rail $WORK/rail/double-rail.job 20")
if ((DENSE > 0)); then
    python3 "$ROOT/bench/make_synthetic_job.py" "$WORK/rail-dense" --only rail \
        --rail-elements "$DENSE" "$@"
    JOBS+=("rail-$DENSE $WORK/rail-dense/double-rail.job 20")
fi
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

field() { # field NAME FILE: the value after "NAME: " in GNU time's report
    sed -n "s/^[[:space:]]*$1: //p" "$2" | head -n 1
}

mib() { awk -v k="$1" 'BEGIN { if (k == "") print "?"; else printf "%.1f", k / 1024 }'; }

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "?"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# convert BIN JOB OUT TAG [OPTION...]: one conversion; sets wall, kb, u, s and rc.
convert() {
    local bin=$1 job=$2 out=$3 tag=$4
    shift 4
    rm -f "$out"
    rc=0
    if [[ -n $GNU_TIME ]]; then
        # GNU time gives the wall clock in hundredths; the clock around it is
        # finer (and adds the start of two small programs, a millisecond).
        local t0 t1
        t0=$(now)
        "$GNU_TIME" -v -o "$WORK/$tag.time" timeout "$TIMEOUT" \
            "$bin" --job-file "$job" "$@" -o "$out" >"$WORK/$tag.stdout" 2>"$WORK/$tag.stderr" || rc=$?
        t1=$(now)
        wall=$(elapsed "$t0" "$t1")
        kb=$(field 'Maximum resident set size (kbytes)' "$WORK/$tag.time")
        u=$(field 'User time (seconds)' "$WORK/$tag.time")
        s=$(field 'System time (seconds)' "$WORK/$tag.time")
    else
        local t0 t1
        t0=$(now)
        timeout "$TIMEOUT" "$bin" --job-file "$job" "$@" -o "$out" \
            >"$WORK/$tag.stdout" 2>"$WORK/$tag.stderr" || rc=$?
        t1=$(now)
        wall=$(elapsed "$t0" "$t1") kb="" u="?" s="?"
    fi
    if ((rc != 0)); then
        if ((rc == 124)); then
            echo "convert_bench: $tag did not finish within $TIMEOUT s" >&2
        else
            echo "convert_bench: $tag failed with exit status $rc; its messages:" >&2
        fi
        # The converter reports the checks' findings on stdout, the verdict on stderr.
        tail -n 40 "$WORK/$tag.stdout" >&2
        sed -n '1,60p' "$WORK/$tag.stderr" >&2
    fi
}

BINS=("$BIN")
MARKS=("")
OPTIONS=("")
if [[ -n $OTHER ]]; then
    BINS+=("$OTHER")
    MARKS+=("*")
    OPTIONS+=("")
fi
NP=-1 # the index of the runs without the proof
if ((NO_PROOF)); then
    NP=${#BINS[@]}
    BINS+=("$BIN")
    MARKS+=("-")
    OPTIONS+=("--no-proof")
    if [[ -n $OTHER ]]; then
        BINS+=("$OTHER")
        MARKS+=("*-")
        OPTIONS+=("--no-proof")
    fi
fi

# start BIN TAG: the converter started without arguments (it prints its
# usage and exits) under the same clock, time and timeout as a conversion;
# sets wall.
start() {
    local bin=$1 tag=$2 t0 t1
    t0=$(now)
    if [[ -n $GNU_TIME ]]; then
        "$GNU_TIME" -v -o "$WORK/$tag.time" timeout "$TIMEOUT" "$bin" >/dev/null 2>&1 || true
    else
        timeout "$TIMEOUT" "$bin" >/dev/null 2>&1 || true
    fi
    t1=$(now)
    wall=$(elapsed "$t0" "$t1")
}

STARTS=()
declare -A starts=()
for ((run = 1; run <= 15; run++)); do
    for b in "${!BINS[@]}"; do
        start "${BINS[$b]}" "start$b"
        starts[$b]+="$wall "
    done
done
for b in "${!BINS[@]}"; do
    STARTS[$b]=$(tr ' ' '\n' <<<"${starts[$b]}" | grep . | median)
done
unset starts

failed=0
rows=()
proof_rows=()
step_rows=()
declare -A last_road_med=() last_road_km=()
for entry in "${JOBS[@]}"; do
    read -r name job km <<<"$entry"
    mapfile -t inputs < <(job_inputs "$job")
    in_bytes=$(cat "${inputs[@]}" | wc -c)
    echo "== converting $name (${#inputs[@]} input files, $in_bytes bytes), $RUNS run(s)"
    declare -A walls=() peaks=() users=() syss=() broken=() cpus=() meds=()
    for ((run = 1; run <= RUNS; run++)); do
        for b in "${!BINS[@]}"; do
            [[ -n ${broken[$b]:-} ]] && continue
            tag=$name$b
            # shellcheck disable=SC2086 # an empty option is no argument
            convert "${BINS[$b]}" "$job" "$WORK/$tag.xml" "$tag" ${OPTIONS[$b]}
            if ((rc != 0)); then
                broken[$b]=$rc
                failed=1
                continue
            fi
            echo "   run $run${MARKS[$b]}: wall $wall s, peak $(mib "$kb") MiB"
            walls[$b]+="$wall "
            users[$b]+="$u "
            syss[$b]+="$s "
            if [[ -n $kb ]] && { [[ -z ${peaks[$b]:-} ]] || ((kb > peaks[$b])); }; then
                peaks[$b]=$kb
            fi
        done
    done
    out_bytes=$(wc -c <"$WORK/${name}0.xml" 2>/dev/null || echo 0)
    if [[ -n $OTHER && -z ${broken[0]:-} && -z ${broken[1]:-} ]] &&
        ! cmp -s "$WORK/${name}0.xml" "$WORK/${name}1.xml"; then
        echo "   note: the two converters wrote different documents"
    fi
    if ((NP >= 0)) && [[ -z ${broken[0]:-} && -z ${broken[$NP]:-} ]] &&
        ! cmp -s "$WORK/${name}0.xml" "$WORK/${name}$NP.xml"; then
        echo "   note: the document written without the proof differs (the proof only reads)"
    fi

    # Baselines: read the inputs, write zeros of the output's size; medians
    # of as many runs as the conversions.
    reads="" writes=""
    for ((run = 1; run <= RUNS; run++)); do
        t0=$(now)
        cat "${inputs[@]}" >/dev/null
        t1=$(now)
        reads+="$(elapsed "$t0" "$t1") "
        t0=$(now)
        head -c "$out_bytes" /dev/zero >"$WORK/$name.zeros"
        t1=$(now)
        writes+="$(elapsed "$t0" "$t1") "
        rm -f "$WORK/$name.zeros"
    done
    read_s=$(tr ' ' '\n' <<<"$reads" | grep . | median)
    write_s=$(tr ' ' '\n' <<<"$writes" | grep . | median)

    for b in "${!BINS[@]}"; do
        label=$name${MARKS[$b]}
        if [[ -n ${broken[$b]:-} ]]; then
            rows+=("$(printf '%-14s %10s  FAILED (exit status %s)' "$label" "$in_bytes" "${broken[$b]}")")
            continue
        fi
        med=$(tr ' ' '\n' <<<"${walls[$b]}" | grep . | median)
        per_km=$(awk -v w="$med" -v k="$km" 'BEGIN { printf "%.1f", 1000 * w / k }')
        net_km=$(awk -v w="$med" -v s="${STARTS[$b]}" -v k="$km" \
            'BEGIN { printf "%.1f", 1000 * (w - s) / k }')
        ratio=$(awk -v w="$med" -v r="$read_s" -v x="$write_s" \
            'BEGIN { f = r + x; if (f > 0) printf "%.1f", w / f; else print "?" }')
        rows+=("$(printf '%-14s %10s %10s %8s %8s %8s %9s %8s %8s %6s %8s %8s' "$label" "$in_bytes" \
            "$out_bytes" "$med" "$(tr ' ' '\n' <<<"${users[$b]}" | grep . | median)" \
            "$(tr ' ' '\n' <<<"${syss[$b]}" | grep . | median)" "$(mib "${peaks[$b]:-}")" \
            "$read_s" "$write_s" "$ratio" "$per_km" "$net_km")")
        cpus[$b]=$(paste -d' ' <(tr ' ' '\n' <<<"${users[$b]}" | grep .) \
            <(tr ' ' '\n' <<<"${syss[$b]}" | grep .) | awk '{ printf "%.2f\n", $1 + $2 }' | median)
        meds[$b]=$med
        # What each further kilometre costs, from the shorter road before:
        # the part of the cost that grows with the length, without what
        # every job pays once.
        if [[ $name == road-* ]]; then
            if [[ -n ${last_road_med[$b]:-} ]]; then
                step_rows+=("$(awk -v l="$label" -v k0="${last_road_km[$b]}" -v k="$km" \
                    -v w0="${last_road_med[$b]}" -v w="$med" \
                    'BEGIN { printf "%-14s from %.3f to %.3f km: %.2f ms/km", l, k0, k, 1000 * (w - w0) / (k - k0) }')")
            fi
            last_road_med[$b]=$med
            last_road_km[$b]=$km
        fi
    done
    if ((NP >= 0)) && [[ -z ${broken[0]:-} && -z ${broken[$NP]:-} ]]; then
        cost() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.0f %%", 100 * (a - b) / b; else print "?" }'; }
        proof_rows+=("$(printf '%-14s %8s %8s %8s %8s %8s %8s %9s %9s' "$name" "${meds[0]}" \
            "${meds[$NP]}" "$(cost "${meds[0]}" "${meds[$NP]}")" "${cpus[0]}" "${cpus[$NP]}" \
            "$(cost "${cpus[0]}" "${cpus[$NP]}")" "$(mib "${peaks[0]:-}")" "$(mib "${peaks[$NP]:-}")")")
    fi
    unset walls peaks users syss broken cpus meds
done

echo
echo "converter: $BIN"
[[ -n $OTHER ]] && echo "compared:  $OTHER (rows marked *)"
((NO_PROOF)) && echo "without the proof: rows marked -"
echo "machine:   $(nproc) core(s), $(uname -sr), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "start:     ${STARTS[0]} s${OTHER:+ (* ${STARTS[1]:-?} s)}"
printf '%-14s %10s %10s %8s %8s %8s %9s %8s %8s %6s %8s %8s\n' job "in bytes" "out bytes" "wall s" \
    "user s" "sys s" "peak MiB" "read s" "write s" "ratio" "ms/km" "net/km"
for row in "${rows[@]}"; do
    echo "$row"
done
echo "(wall, user, sys: medians of $RUNS run(s); peak: largest maximum resident set;"
echo " read: cat of the inputs to /dev/null; write: zeros of the output's size to a file, medians;"
echo " ratio: wall over read + write, the I/O floor; ms/km: wall per kilometre;
 start: the converter without arguments, median of 15; net/km: (wall - start) per kilometre)"
if ((${#step_rows[@]})); then
    echo
    echo "each further kilometre (the difference of the medians over the difference of lengths):"
    printf '%s\n' "${step_rows[@]}"
fi
if ((${#proof_rows[@]})); then
    echo
    echo "the proof: each job with and without --no-proof (medians)"
    printf '%-14s %8s %8s %8s %8s %8s %8s %9s %9s\n' job "wall s" "no-proof" "cost" "cpu s" \
        "no-proof" "cost" "peak MiB" "no-proof"
    for row in "${proof_rows[@]}"; do
        echo "$row"
    done
    echo "(cost: what the proof adds, as a share of the conversion without it)"
fi
exit "$failed"
