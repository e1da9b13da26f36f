#!/bin/sh
# Stands behind a Wine printer port ("|wine-job-sink.sh <folder>"): Wine runs it
# once per finished job with the job's bytes on stdin. Each job becomes
# <folder>/job-0001.bin, job-0002.bin, ... in arrival order. The file appears
# under its final name only when complete, so readers never see half a job.
set -eu
dir=${1:?usage: wine-job-sink.sh <folder>}
mkdir -p "$dir"
tmp=$(mktemp "$dir/.incoming.XXXXXX")
cat >"$tmp"
exec 9>"$dir/.lock"
flock 9
n=$(find "$dir" -maxdepth 1 -name 'job-*.bin' | wc -l)
mv "$tmp" "$dir/$(printf 'job-%04d.bin' $((n + 1)))"
