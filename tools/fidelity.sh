#!/bin/sh
# Draws every movie of the swfdec-image suite as its README says (frame 1 plus 10 frame
# steps, at stage size) and compares it with the reference picture. A movie passes when at
# least 99% of its pixels are within 8 of the reference in red, green and blue.
#   tools/fidelity.sh [SWFRENDER] [SUITE_DIR]
# Each movie runs in its own process with a time and memory limit, so a crash, hang or
# runaway allocation shows up as a failure of that movie alone.
root=$(cd "$(dirname "$0")/.." && pwd)
render=${1:-$root/build/native/bin/swfrender}
suite=${2:-${KX_SWF_SUITE:-$root/../shared/test-suites/swfdec-image}}
seconds=20
memory_kb=4000000

if [ ! -x "$render" ] || [ ! -f "$suite/MANIFEST.tsv" ]; then
    echo "fidelity: need $render and $suite/MANIFEST.tsv" >&2
    exit 1
fi

pass_all=0; total_all=0; pass_plain=0; total_plain=0
failures=""
# MANIFEST.tsv: file, version, actions (yes/no), frames; the first line names the columns.
while IFS="$(printf '\t')" read -r file version actions frames; do
    [ "$file" = "file" ] && continue
    [ -z "$file" ] && continue
    total_all=$((total_all + 1))
    [ "$actions" = "no" ] && total_plain=$((total_plain + 1))
    result=$( (ulimit -v $memory_kb; timeout $seconds "$render" "$suite/$file" --frame 11 \
        --compare "$suite/$file.png") 2>&1)
    status=$?
    matching=$(echo "$result" | sed -n 's/^match [0-9.]*% (\([0-9]*\) of \([0-9]*\) .*/\1/p')
    pixels=$(echo "$result" | sed -n 's/^match [0-9.]*% (\([0-9]*\) of \([0-9]*\) .*/\2/p')
    if [ $status -eq 124 ]; then
        why="timeout after ${seconds}s"
    elif [ $status -ne 0 ] || [ -z "$matching" ]; then
        why="failed (exit $status): $(echo "$result" | tail -1)"
    elif [ $((matching * 100)) -ge $((pixels * 99)) ]; then
        why=""
    else
        why=$(echo "$result" | sed -n 's/^match \([0-9.]*%\).*/\1 of pixels match/p')
    fi
    if [ -z "$why" ]; then
        pass_all=$((pass_all + 1))
        [ "$actions" = "no" ] && pass_plain=$((pass_plain + 1))
    else
        failures="$failures
  $file (actions: $actions): $why"
    fi
done < "$suite/MANIFEST.tsv"

echo "Failures:$failures"
echo "movies without actions: $pass_plain of $total_plain pass"
echo "all movies: $pass_all of $total_all pass"
