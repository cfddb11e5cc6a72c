#!/bin/sh
# check-includes.sh ROOT LAYER...
# Each LAYER is the space-separated folders of one layer, lowest first (the table of
# cmake/TarnixLayers.cmake). Prints file:line for every #include "folder/..." of a folder in a
# higher layer, and for every "../" include, and fails if there was one. Top-level folders the
# table does not name (tests, fuzz, bench) count as above every layer.
root=$1
shift
cd "$root" || exit 2

table=""
folders=""
layer=0
for layer_folders in "$@"; do
    layer=$((layer + 1))
    for folder in $layer_folders; do
        table="$table $folder=$layer"
        [ -d "$folder" ] && folders="$folders $folder"
    done
done
outside=$(for d in */; do printf '%s ' "${d%/}"; done)

# shellcheck disable=SC2086 # the folder lists are meant to split
grep -rnE --include='*.h' --include='*.cpp' --include='*.c' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' $folders |
    awk -v table="$table" -v outside="$outside" '
    BEGIN {
        n = split(outside, dirs, " ")
        for (i = 1; i <= n; i++) layer[dirs[i]] = 99
        n = split(table, entries, " ")
        for (i = 1; i <= n; i++) { split(entries[i], kv, "="); layer[kv[1]] = kv[2] }
    }
    {
        match($0, /^[^:]*:[0-9]+:/)
        where = substr($0, 1, RLENGTH - 1)
        text = substr($0, RLENGTH + 1)
        split(where, path, "/")
        from = path[1]
        if (!match(text, /"[^"]*"/)) next
        header = substr(text, RSTART + 1, RLENGTH - 2)
        if (header ~ /(^|\/)\.\.\//) {
            printf "%s: includes \"%s\" from outside its folder\n", where, header
            bad = 1
            next
        }
        split(header, parts, "/")
        to = parts[1]
        if (index(header, "/") == 0 || !(to in layer)) next
        if (layer[to] > layer[from]) {
            printf "%s: %s (layer %d) includes \"%s\" (layer %d)\n", where, from, layer[from], header, layer[to]
            bad = 1
        }
    }
    END { exit bad }'
