# Shared by the packaging checks.
id=io.github.orbe.Orbe

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The value of a key in the [Desktop Entry] group.
desktop_value() {
    sed -n "s/^$2=//p" "$1"
}

# Exec= without the quotes a blank in the path needs.
desktop_program() {
    local exec
    exec=$(desktop_value "$1" Exec)
    exec=${exec#\"}
    echo "${exec%\"}"
}

# Every installed file (and link) below a folder, relative to it, sorted.
files_below() {
    (cd "$1" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort)
}

# Checks an installed tree: `root` is what a package or DESTDIR holds,
# `prefix` the prefix inside it that the program was installed for.
check_tree() {
    local root=$1 prefix=$2 source=$3 expected=$4
    local top="$root$prefix"

    diff -u <(LC_ALL=C sort "$expected") <(files_below "$top") ||
        fail "installed files under $top differ from $expected"

    local entry="$top/share/applications/$id.desktop"
    local report
    report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
    [ -z "$report" ] || fail "desktop-file-validate warns: $report"
    appstreamcli validate --no-net "$top/share/metainfo/$id.metainfo.xml" ||
        fail "appstreamcli rejects the metainfo"
    # The tree as a whole: the metainfo's launchable entry and icon are there.
    appstreamcli validate-tree --no-net "$top" || fail "appstreamcli rejects the installed tree"

    for key in Name 'Name\[es\]' Comment 'Comment\[es\]'; do
        [ -n "$(desktop_value "$entry" "$key")" ] || fail "desktop entry lacks $key"
    done
    [ "$(desktop_value "$entry" Icon)" = "$id" ] || fail "Icon is not $id"
    [ "$(desktop_value "$entry" Categories)" = "Education;Geography;" ] || fail "wrong Categories"
    # The window (WM_CLASS orbe) belongs to this entry, not to one named orbe.desktop.
    [ "$(desktop_value "$entry" StartupWMClass)" = orbe ] || fail "StartupWMClass is not orbe"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
        "$top/share/metainfo/$id.metainfo.xml" || fail "metainfo does not launch $id.desktop"

    # Started from the menu, the program runs in Path= and reads its list there.
    local path program
    path=$(desktop_value "$entry" Path)
    program=$(desktop_program "$entry")
    [ "$path" = "$prefix/share/orbe" ] || fail "Path=$path, expected $prefix/share/orbe"
    [ "$program" = "$prefix/bin/orbe" ] || fail "Exec=$program, expected $prefix/bin/orbe"
    [ -x "$root$program" ] || fail "$root$program is not an executable"
    cmp "$root$path/NOMBRES.TXT" "$source/assets/NOMBRES.TXT" || fail "the installed list differs"
    [ "$(wc -l < "$root$path/NOMBRES.TXT")" -eq 246 ] || fail "the installed list does not hold 246 places"

    for size in 16 22 32 48 64 128 256; do
        local icon="$top/share/icons/hicolor/${size}x${size}/apps/$id.png"
        file "$icon" | grep -q "PNG image data, $size x $size," || fail "$icon is not a $size px PNG"
    done
    cmp "$top/share/icons/hicolor/scalable/apps/$id.svg" "$source/assets/icons/orbe.svg" ||
        fail "the scalable icon differs"
}
