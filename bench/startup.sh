#!/usr/bin/env bash
# Start-up time of almanix: from the process start to the first painted main window, with a
# default file of 10,000 records (or the file given), offscreen and with private settings.
# Usage: bench/startup.sh [FILE.alx]   (BUILD=build-release RUNS=9 to change the defaults)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
program=$build/src/app/almanix
almx=$build/src/cli/almx
runs=${RUNS:-7}
[ -x "$program" ] && [ -x "$almx" ] || { echo "build $program and $almx first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=${1:-}
if [ -z "$file" ]; then
    file=$work/sample.alx
    "$almx" new "$file" --defaults >/dev/null 2>&1 </dev/null
    # 10,000 records over four years: timed and all-day schedules, weekly repeats, to-dos.
    python3 - "$file" <<'PY'
import sys, random
random.seed(7)
titles = ["会議", "打ち合わせ", "歯医者", "出張（大阪）", "誕生日", "燃えないゴミ", "英会話", "締め切り"]
rows = []
for i in range(10000):
    y, m, d = 2023 + i % 4, 1 + (i * 7) % 12, 1 + (i * 13) % 28
    h = 8 + i % 10
    date = f"{y}/{m:02d}/{d:02d}"
    title = f"{titles[i % len(titles)]} {i}"
    if i % 10 == 9:  # a to-do
        cells = ["1", date, "00:00", date, "00:00", title, "0", "0", "0", "0", "000000", "", "1", "0",
                 "0", "0", "", "", "", "", "", "", "", "", "", "メモ"]
    else:
        repeat = "2" if i % 25 == 0 else "0"
        cells = ["0", date, f"{h:02d}:00", date, f"{h + 1:02d}:00", title, "1", "1", "0", "0",
                 f"{random.randrange(1 << 24):06X}", "", "1", "0", "0", "0", repeat, "1", "1",
                 "1", "0", "", "0", "", "本社", "詳細"]
    rows.append(",".join(f'"{c}"' for c in cells) + "\r\n")
with open(sys.argv[1], "ab") as out:
    out.write("".join(rows).encode("cp932"))
PY
fi

mkdir -p "$work/config/Korvanta" "$work/run"
chmod 700 "$work/run"
printf '[System]\nDefaultFile=%s\nHolidayChangeFlag1=1\n' "$(realpath "$file")" \
    > "$work/config/Korvanta/Almanix.ini"

times=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    out=$(QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" \
          ALMX_EXIT_AFTER_PAINT=1 ALMX_SCREENSHOT_DELAY_MS=0 "$program" </dev/null 2>/dev/null |
          grep '^first-paint ')
    painted=${out#first-paint }
    times+=($(( (painted - start) / 1000000 )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p")
echo "start-up to first paint ($(grep -c . "$file") lines): median ${median} ms; runs: $(echo $sorted)"
