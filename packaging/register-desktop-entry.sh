#!/usr/bin/env bash
# Puts Zemlo into the desktop's menu and makes it an editor for its page types.
# Run from the installed program folder:
#   ./register-desktop-entry.sh            for the current user (~/.local/share)
#   sudo ./register-desktop-entry.sh --system   for every user (/usr/share)
#   ./register-desktop-entry.sh --remove [--system]   takes the entry away again
set -euo pipefail

folder="$(cd "$(dirname "$0")" && pwd)"
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
remove=0
for arg in "$@"; do
    case "$arg" in
    --system) data_home=/usr/share ;;
    --remove) remove=1 ;;
    *)
        echo "usage: $0 [--system] [--remove]" >&2
        exit 2
        ;;
    esac
done

apps="$data_home/applications"
mime="$data_home/mime"
entry="$apps/zemlo.desktop"

refresh() {
    if command -v update-mime-database >/dev/null; then update-mime-database "$mime" || true; fi
    if command -v update-desktop-database >/dev/null; then update-desktop-database "$apps" || true; fi
}

if [ "$remove" -eq 1 ]; then
    rm -f "$entry" "$mime/packages/zemlo-mime.xml"
    refresh
    exit 0
fi

# Exec takes the program quoted, with the characters that quoting leaves special escaped.
quoted="\"$(printf '%s' "$folder/zemlo" |
    sed -e 's/\\/\\\\\\\\/g' -e 's/["`$]/\\\\&/g' -e 's/%/%%/g')\""
mkdir -p "$apps" "$mime/packages"
sed -e "s|@EXEC@|$(printf '%s' "$quoted" | sed -e 's/[\\&|]/\\&/g')|" \
    -e "s|@ICON@|$(printf '%s' "$folder/zemlo.png" | sed -e 's/[\\&|]/\\&/g')|" \
    "$folder/desktop/zemlo.desktop.in" >"$entry"
chmod 644 "$entry"
cp "$folder/desktop/zemlo-mime.xml" "$mime/packages/zemlo-mime.xml"
refresh
echo "Registered $entry"
