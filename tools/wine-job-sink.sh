#!/bin/sh
# Stands behind a Wine printer port ("|wine-job-sink.sh <folder> [<stall from>]"):
# Wine runs it once per finished job with the job's bytes on stdin. Each job becomes
# <folder>/job-0001.bin, job-0002.bin, ... in arrival order. The file appears
# under its final name only when complete, so readers never see half a job.
# With <stall from> the port stops reading at that job: the sink waits, reading
# nothing, until <folder>/release appears (10 minutes at most), and Wine's
# EndDocPrinter waits with it.
set -eu
dir=${1:?usage: wine-job-sink.sh <folder> [<stall from>]}
stall_from=${2:-0}
mkdir -p "$dir"
if [ "$stall_from" -gt 0 ] &&
   [ $(($(find "$dir" -maxdepth 1 -name 'job-*.bin' | wc -l) + 1)) -ge "$stall_from" ]; then
  waited=0
  while [ ! -e "$dir/release" ] && [ "$waited" -lt 600 ]; do
    sleep 1
    waited=$((waited + 1))
  done
fi
tmp=$(mktemp "$dir/.incoming.XXXXXX")
cat >"$tmp"
exec 9>"$dir/.lock"
flock 9
n=$(find "$dir" -maxdepth 1 -name 'job-*.bin' | wc -l)
mv "$tmp" "$dir/$(printf 'job-%04d.bin' $((n + 1)))"
