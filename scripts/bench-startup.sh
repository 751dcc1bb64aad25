#!/usr/bin/env bash
# Prints Zemlo's start-up beside FeatherPad's, a light general text editor, measured the same way
# in one run under a virtual X server without a window manager: the time from starting the
# program until its main window is mapped, and the proportional set size (PSS) of its whole
# process tree (the program and every process it started) some seconds after that, once it has
# gone quiet (the preview engine up, the page read); with no page and with a 1 MB page. Median of
# 5 runs; figures only. Then, for Zemlo, the time from starting it with a 1 MB or a 10 MB page
# until its whole process tree is idle, and the tree's PSS then; --idle prints only these.
#
#   scripts/bench-startup.sh [--idle] [PROGRAM_BUILD_FOLDER]
#
# The folder holding the built zemlo and its data is ./build unless given; the program runs
# from a copy of it, so that its settings and lock stay apart. RUNS and SETTLE (seconds before
# weighing) may be set in the environment; QTWEBENGINE_CHROMIUM_FLAGS, when set, overrides the
# program's own browser engine switches for Zemlo.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-5}"
settle="${SETTLE:-3}"
only_idle=0
if [ "${1-}" = "--idle" ]; then
    only_idle=1
    shift
fi
program_build="$(realpath "${1:-build}")"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zemlo_startup_probe -j2 >/dev/null
probe="$PWD/build/bench/zemlo_startup_probe"
[ -x "$program_build/zemlo" ] || cmake --build build --target zemlo -j2 >/dev/null

if [ "$only_idle" = 0 ] && ! command -v featherpad >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo -n)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends \
        featherpad >/dev/null 2>&1 || echo "FeatherPad could not be installed: shown without it."
fi

work="$(mktemp -d)"
xvfb_pid=
cleanup() {
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The program folder: the executable, its preview engine, the pictograms, the tag list and
# templates.
mkdir "$work/Zemlo"
cp "$program_build/zemlo" "$work/Zemlo/"
cp -r "$program_build/ImageList" "$work/Zemlo/"
for f in "$program_build"/libzemlo_preview.so "$program_build"/zemlo.tag "$program_build"/*.tmp; do
    [ -e "$f" ] && cp "$f" "$work/Zemlo/"
done

# 1 MB and 10 MB i-mode pages in Shift-JIS with CR LF line ends.
python3 - "$work" <<'EOF'
import sys
block = ('<a href="menu.html" accesskey="1">メニュー</a><br>\n'
         '<font color="#FF0000">ｾｰﾙ開催中！</font><hr>\n'
         '<div align="center"><img src="logo.gif"></div>\n'
         '<p>本日のお知らせです。</p>\n').replace("\n", "\r\n").encode("cp932")
for name, size in (("page.html", 1024 * 1024), ("page10.html", 10 * 1024 * 1024)):
    body = block * (size // len(block))
    with open(sys.argv[1] + "/" + name, "wb") as f:
        f.write(b"<html><body>\r\n" + body + b"</body></html>\r\n")
EOF

# A display of our own, on the first free number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
display="$(cat "$work/display")"
[ -n "$display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$display"
unset QT_QPA_PLATFORM

# One row: median of the runs' mapped times (ms) and tree PSS (KB, printed as MB).
measure() {
    local label="$1"
    shift
    local times=() sizes=() line
    for _ in $(seq "$runs"); do
        if line="$("$probe" --settle "$settle" -- "$@" 2>/dev/null)"; then
            times+=("${line% *}")
            sizes+=("${line#* }")
        fi
    done
    if [ ${#times[@]} -eq 0 ]; then
        printf '%-30s %s\n' "$label" "did not start"
        return
    fi
    local t s
    t="$(printf '%s\n' "${times[@]}" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')"
    s="$(printf '%s\n' "${sizes[@]}" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')"
    printf '%-30s %8.0f ms %10.1f MB\n' "$label" "$t" "$(awk -v k="$s" 'BEGIN {print k / 1024}')"
    echo "$t" >"$work/last-ms"
}

# Opening a page: from the start until the whole tree (the preview engine's threads and
# processes with it) has gone quiet, and its PSS then. Median of the runs; Zemlo alone.
idle_table() {
    printf '%-30s %11s %13s\n' "opening a page, median of $runs" "idle after" "PSS of tree"
    local name page idles sizes line
    for name in "1 MB" "10 MB"; do
        page="$work/page.html"
        [ "$name" = "1 MB" ] || page="$work/page10.html"
        idles=() sizes=()
        for _ in $(seq "$runs"); do
            if line="$("$probe" --idle -- "$work/Zemlo/zemlo" "\"$page\"" 2>/dev/null)"; then
                idles+=("${line##* }")
                line="${line% *}"
                sizes+=("${line#* }")
            fi
        done
        if [ ${#idles[@]} -eq 0 ]; then
            printf '%-30s %s\n' "Zemlo, $name page" "did not start"
            continue
        fi
        printf '%-30s %8.0f ms %10.1f MB\n' "Zemlo, $name page" \
            "$(printf '%s\n' "${idles[@]}" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')" \
            "$(printf '%s\n' "${sizes[@]}" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)] / 1024}')"
    done
}
if [ "$only_idle" = 1 ]; then
    idle_table
    exit 0
fi

printf '%-30s %11s %13s\n' "start-up, median of $runs" "mapped" "PSS of tree"
for page in "" "$work/page.html"; do
    name="no page"
    [ -z "$page" ] || name="1 MB page"
    fp_ms=
    if command -v featherpad >/dev/null; then
        measure "FeatherPad, $name" featherpad ${page:+"$page"}
        fp_ms="$(cat "$work/last-ms" 2>/dev/null || true)"
    fi
    rm -f "$work/last-ms"
    # Zemlo reads its command line as one text, each page in double quotes.
    measure "Zemlo, $name" "$work/Zemlo/zemlo" ${page:+"\"$page\""}
    zemlo_ms="$(cat "$work/last-ms" 2>/dev/null || true)"
    if [ -n "$fp_ms" ] && [ -n "$zemlo_ms" ]; then
        printf '%-30s %8.2f x\n' "Zemlo / FeatherPad, mapped" \
            "$(awk -v z="$zemlo_ms" -v f="$fp_ms" 'BEGIN {print z / f}')"
    fi
    rm -f "$work/last-ms"
done
echo
idle_table
