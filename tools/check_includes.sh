#!/bin/sh
# The include direction: every file of a src/ folder includes headers of its
# own folder and of the folders below it only, as the list of the section
# "Dependencies" of docs/architecture.md gives them ("- folder: below ..."; a
# folder may use what the folders below it use, in turn). A header of a folder
# not below, of a folder the list does not know, or of the tests (tests/,
# gtest, gmock, benchmark) is named with its file and line, and the check
# fails. tools/test.sh runs it before the build.
#
# No circle inside a folder: a.h and a.cpp of a folder are one file "a", which
# uses the files of its folder whose headers it includes. Files that use each
# other, directly or round several, cannot be read, changed or tested one
# without the others; each such circle is named with the includes that close
# it, and the check fails.
set -eu
cd "$(dirname "$0")/.."
status=0

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
' docs/architecture.md {} + || status=1

find src -type f \( -name '*.h' -o -name '*.cpp' \) | sort | awk '
function fileOf(path) {
    sub(/\.(h|cpp)$/, "", path)
    return path
}
function folderOf(path) {
    sub(/\/[^\/]*$/, "", path)
    return path
}
# The includes of file (one of node from) that name another file of its folder.
function readIncludes(file, from,    line, lineNo, name, to) {
    while ((getline line < file) > 0) {
        ++lineNo
        if (line !~ /^[ \t]*#[ \t]*include[ \t]*"/)
            continue
        name = line
        sub(/^[ \t]*#[ \t]*include[ \t]*"/, "", name)
        sub(/".*$/, "", name)
        to = fileOf("src/" name)
        if (to == from || folderOf(to) != folderOf(from))
            continue
        if (!((from, to) in via))
            uses[from] = uses[from] " " to
        via[from, to] = via[from, to] "\n    " file ":" lineNo ": " name
    }
    close(file)
}
# The files that use each other (strongly connected, found depth first): the
# files met below v that reach back to v or above it stay on the stack until
# the first of them is left.
function visit(v,    k, i, next_, w, members) {
    order[v] = low[v] = ++counter
    stack[++top] = v
    onStack[v] = 1
    k = split(uses[v], next_, " ")
    for (i = 1; i <= k; ++i) {
        w = next_[i]
        if (!(w in order)) {
            visit(w)
            if (low[w] < low[v])
                low[v] = low[w]
        } else if (onStack[w] && order[w] < low[v])
            low[v] = order[w]
    }
    if (low[v] != order[v])
        return
    k = 0
    do {
        w = stack[top--]
        delete onStack[w]
        members[++k] = w
    } while (w != v)
    if (k > 1)
        report(members, k)
}
# "folder: a b c", the files of a circle by name in order.
function circleName(members, k,    i, j, names, swap, name) {
    for (i = 1; i <= k; ++i) {
        names[i] = members[i]
        sub(/^.*\//, "", names[i])
    }
    for (i = 2; i <= k; ++i)
        for (j = i; j > 1 && names[j - 1] > names[j]; --j) {
            swap = names[j]
            names[j] = names[j - 1]
            names[j - 1] = swap
        }
    name = folderOf(members[1]) ":"
    for (i = 1; i <= k; ++i)
        name = name " " names[i]
    return name
}
function report(members, k,    i, j, name, line) {
    name = circleName(members, k)
    line = ""
    for (i = 1; i <= k; ++i)
        for (j = 1; j <= k; ++j)
            if ((members[i], members[j]) in via)
                line = line via[members[i], members[j]]
    print "these files of " name " include each other:" line > "/dev/stderr"
    failed = 1
}
{
    node = fileOf($0)
    files[node] = 1
    readIncludes($0, node)
}
END {
    for (v in files)
        if (!(v in order))
            visit(v)
    exit failed
}
' || status=1
exit $status
