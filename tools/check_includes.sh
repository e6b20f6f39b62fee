#!/bin/sh
# The include direction: every file of a src/ folder includes headers of its
# own folder and of the folders below it only, as the list of the section
# "Dependencies" of docs/architecture.md gives them ("- folder: below ..."; a
# folder may use what the folders below it use, in turn). A header of a folder
# not below, of a folder the list does not know, or of the tests (tests/,
# gtest, gmock, benchmark) is named with its file and line, and the check
# fails. tools/test.sh runs it before the build.
set -eu
cd "$(dirname "$0")/.."

find src -type f \( -name '*.h' -o -name '*.cpp' \) -exec awk '
# The folders that `folder` may include, " a b c ", in reach[folder].
function allowed(folder,    n, i, parts, m, j, words, found) {
    if (folder in reach)
        return
    if (folder in visiting) {
        print "docs/architecture.md: the folders below " folder " run in a circle" > "/dev/stderr"
        failed = 1
        return
    }
    visiting[folder] = 1
    found = " " folder " "
    n = split(below[folder], parts, " ")
    for (i = 1; i <= n; ++i) {
        if (!(parts[i] in below)) {
            print "docs/architecture.md: " folder " lists " parts[i] ", which is not in the list" > "/dev/stderr"
            failed = 1
            continue
        }
        allowed(parts[i])
        m = split(reach[parts[i]], words, " ")
        for (j = 1; j <= m; ++j)
            if (index(found, " " words[j] " ") == 0)
                found = found words[j] " "
    }
    reach[folder] = found
}
FILENAME == "docs/architecture.md" {
    if ($0 ~ /^## /)
        inList = ($0 == "## Dependencies")
    else if (inList && $0 ~ /^- [a-z\/]+:/) {
        folder = $2
        sub(/:$/, "", folder)
        line = $0
        sub(/^- [a-z\/]+:[ ]*/, "", line)
        below[folder] = line
    }
    next
}
FNR == 1 {
    if (!listed) {
        for (folder in below) allowed(folder)
        listed = 1
    }
    folder = FILENAME
    sub(/^src\//, "", folder)
    sub(/\/[^\/]*$/, "", folder)
    if (!(folder in below)) {
        print FILENAME ": the folder " folder " is not in the list of docs/architecture.md" > "/dev/stderr"
        failed = 1
    }
}
/^[ \t]*#[ \t]*include/ {
    header = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", header)
    sub(/[ \t].*$/, "", header)
    if (header ~ /^<(gtest|gmock|benchmark)\//) {
        print FILENAME ":" FNR ": " header ": a header of the tests" > "/dev/stderr"
        failed = 1
        next
    }
    if (header !~ /^"/)
        next
    name = substr(header, 2, length(header) - 2)
    if (name !~ /\//)
        next
    from = name
    sub(/\/[^\/]*$/, "", from)
    if (index(reach[folder], " " from " ") == 0) {
        print FILENAME ":" FNR ": " header ": " from " is not below " folder > "/dev/stderr"
        failed = 1
    }
}
END { exit failed }
' docs/architecture.md {} +
