#!/usr/bin/env bash
# Builds the Debian package (or takes the one given), checks its fields,
# dependencies and contents, and unpacks it into a scratch root.
# Usage: check_deb.sh <build dir> <source dir> <scratch dir> [package.deb]
set -euo pipefail
build=$1 source=$2 scratch=$3 deb=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

rm -rf "$scratch"
mkdir -p "$scratch"
if [ -z "$deb" ]; then
    (cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >cpack.log) ||
        { cat "$scratch/cpack.log"; fail "cpack -G DEB failed"; }
    deb="$scratch/out/orbe_2.3.0_$(dpkg --print-architecture).deb"
fi
[ -f "$deb" ] || fail "no package at $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orbe ] || fail "Package is $(field Package)"
[ "$(field Version)" = 2.3.0 ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = education ] || fail "Section is $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

# Dependencies: Debian's runtime packages, each a real package name.
depends=$(field Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//; /^$/d')
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo fonts-liberation2; do
    grep -qx "$needed" <<<"$names" || fail "Depends lacks $needed"
done
while read -r name; do
    case $name in *-dev) fail "depends on the development package $name" ;; esac
    dpkg-query -W "$name" >/dev/null 2>&1 || fail "depends on $name, which is not a Debian package here"
done <<<"$names"

# Contents: the installed file list under /usr, and nothing else.
diff -u <(sed 's|^|usr/|' "$here/installed-files.txt" | LC_ALL=C sort) \
        <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "package contents differ from the installed file list"

root="$scratch/root"
dpkg -x "$deb" "$root"
check_tree "$root" /usr "$source" "$here/installed-files.txt"
file "$root/usr/bin/orbe" | grep -q ', stripped' || fail "the packaged program is not stripped"
echo "ok: $deb"
