#!/usr/bin/env bash
# cmake --install into scratch prefixes, one of them with blanks and accents
# in it, and the desktop's own validators on what was installed.
# Usage: check_install.sh <build dir> <source dir> <scratch dir>
set -euo pipefail
build=$1 source=$2 scratch=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

rm -rf "$scratch"
mkdir -p "$scratch"

for prefix in "$scratch/usr" "$scratch/home/ana maría/.local"; do
    cmake --install "$build" --prefix "$prefix" >/dev/null
    check_tree "" "$prefix" "$source" "$here/installed-files.txt"

    # The installed program starts from its menu folder and keeps running.
    status=0
    (cd "$(desktop_value "$prefix/share/applications/$id.desktop" Path)" &&
        QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/orbe") || status=$?
    [ "$status" -eq 124 ] || fail "the installed program ended with status $status"
    echo "ok: $prefix"
done

# A prefix the desktop entry could not name is refused with a clear message.
status=0
message=$(cmake --install "$build" --prefix "$scratch/bad\$HOME" 2>&1) || status=$?
[ "$status" -ne 0 ] || fail "a prefix with \$ was accepted"
grep -q 'Cannot write the desktop entry' <<<"$message" || fail "unclear message: $message"
[ ! -e "$scratch/bad\$HOME/share/applications/$id.desktop" ] || fail "an entry was written for a bad prefix"
echo "ok: a prefix with \$ is refused"
