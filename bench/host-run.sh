#!/usr/bin/env bash
# Times the whole kerfmate-host process writing a 100 x 80 x 60 mm box
# (thickness 3, kerf 0.1) as SVG, headless: this tree's host and the host of
# a base commit (default 9d76547, before the host confirmed at the first
# preview), in the same run. Prints the median wall time (hyperfine) and the
# median peak memory (GNU time), then where this host's time goes.
#
#   bash bench/host-run.sh [BASE_COMMIT]      RUNS=40 for more runs
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
base=$(git rev-parse --short "${1:-9d76547}")
runs=${RUNS:-30}

bash scripts/setup.sh hyperfine time
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target kerfmate-host

# The old host is built once per base commit, from a worktree outside the
# repository that is removed again; its build stays for the next run.
old=${TMPDIR:-/tmp}/kerfmate-bench-$base
if [ ! -x "$old/build/bin/kerfmate-host" ]; then
  rm -rf "$old/src"
  git worktree add --detach "$old/src" "$base" >/dev/null
  cmake -S "$old/src" -B "$old/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$old/build" -j2 --target kerfmate-host
  git worktree remove --force "$old/src"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/old/Kerfmate/Gleamworks/Resources/Data" "$work/new"
# The old host has no --set: it gets the same box from its settings file.
cat >"$work/old/Kerfmate/Gleamworks/Resources/Data/Kerfmate.ini" <<'EOF'
[DLG_RECT_BOX]
dWidth=100000
dDepth=80000
dHeight=60000
dThickness=3000
dLaserWidth=100
EOF

run_old="env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/old $old/build/bin/kerfmate-host --generator 0 --accept --out $work/old.svg"
run_new="env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/new $repo/build/bin/kerfmate-host --generator 0 --accept --out $work/new.svg --set length=100 --set width=80 --set height=60 --set thickness=3 --set kerf=0.1"

hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/times.json" \
  -n "before ($base)" "$run_old" -n "after (this tree)" "$run_new" >/dev/null

peak() { # median of the peak resident memory over the runs, in MiB
  for _ in $(seq "$runs"); do /usr/bin/time -f %M $1 2>&1 >/dev/null | tail -1; done |
    sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1024}'
}
mem_old=$(peak "$run_old")
mem_new=$(peak "$run_new")

/usr/bin/python3 - "$work/times.json" "$mem_old" "$mem_new" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
memory = sys.argv[2:]
print(f"{'':22} {'median wall':>12} {'min':>8} {'peak memory':>12}")
for r, mem in zip(results, memory):
    print(f"{r['command']:22} {r['median']*1000:9.1f} ms {r['min']*1000:5.1f} ms {float(mem):8.1f} MiB")
before, after = results[0]["median"], results[1]["median"]
print(f"after / before: {after / before:.2f} (wall), {float(memory[1]) / float(memory[0]):.2f} (memory)")
EOF
cmp -s <(grep -c '<path' "$work/old.svg") <(grep -c '<path' "$work/new.svg") ||
  echo "warning: the two hosts wrote different numbers of outlines" >&2

echo
echo "Where this host's time goes (KERFMATE_HOST_TRACE, ms since main(), median of $runs):"
for _ in $(seq "$runs"); do
  KERFMATE_HOST_TRACE=1 $run_new 2>&1 >/dev/null | sed -n 's/^kerfmate-host: *\([0-9.]*\) ms \(.*\)$/\2\t\1/p'
done | /usr/bin/python3 -c '
import sys, statistics
steps = {}
for line in sys.stdin:
    step, ms = line.rstrip("\n").split("\t")
    steps.setdefault(step, []).append(float(ms))
for step, values in steps.items():
    print(f"  {statistics.median(values):7.1f}  {step}")'
