#!/bin/sh
# Lists every function defined in src/ that no program reaches: the program
# and the data maker of tools/ (mkdata) are built without the tests and the
# benchmarks (which count with the tests) into a folder of their own (the
# first argument, by default build-unused), every function in a section of
# its own, and linked with the unreferenced sections dropped; a function whose
# section no program kept is reached from the tests alone, or from nowhere.
# The script fails when it lists any that the list of allowed ones (the
# second argument, by default tools/unused-allowed.txt) does not name by its
# file and name, when that list names one a program reaches (it goes from the
# list then), and when a test the list names ("test Suite.Name") is not
# defined in tests/.
#
# The linker follows every reference, so a function reached only through a
# vtable (a virtual override of a class the program makes) or through Qt's
# meta-object tables (a slot, a signal, an invokable) is kept. The build does
# not optimise: a call the compiler would inline still references its
# function. A function defined inline in a header is compiled only where it is
# called, and listed only when every caller is unreached; templates and the
# code moc writes are not listed.
set -eu
cd "$(dirname "$0")/.."
dir=${1:-build-unused}
allowed=${2:-tools/unused-allowed.txt}
mkdir -p "$dir/maps"
maps=$(cd "$dir/maps" && pwd)

# The programs whose references count.
programs="kalvor mkdata"

configure() {
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE= -DKALVOR_WERROR=OFF -DKALVOR_BENCHMARKS=OFF \
        "-DCMAKE_CXX_FLAGS=-O0 -ffunction-sections -fdata-sections" \
        "-DCMAKE_EXE_LINKER_FLAGS=-Wl,--gc-sections -Wl,-Map=$maps" \
        -DCMAKE_CXX_STANDARD_LIBRARIES= >/dev/null
}

# Prints "KEY SECTION" for each section of a function that a program's linker
# map lists as kept (after the line "Linker script and memory map"); KEY is the
# object, "TARGET/FILE.o" whether it came from the archive libTARGET.a or from
# the target's own folder, as in objects() below.
kept_sections() {
    awk 'FNR == 1 { map = 0 }
        /^Linker script and memory map/ { map = 1; next }
        map && /^ \.text\./ {
            name = $1; file = $4
            if (NF < 4) { getline; file = $3 }
            if (file ~ /\.a\(/) {
                target = file; sub(/\(.*/, "", target); sub(/.*\/lib/, "", target); sub(/\.a$/, "", target)
                member = file; sub(/.*\(/, "", member); sub(/\)$/, "", member)
            } else if (file ~ /CMakeFiles\/[^\/]*\.dir\//) {
                target = file; sub(/.*CMakeFiles\//, "", target); sub(/\.dir\/.*/, "", target)
                member = file; sub(/.*\//, "", member)
            } else next
            print target "/" member, name
        }' "$@"
}

# Prints "KEY SOURCE" for each object compiled from a file of src/, SOURCE its
# path (the code that moc writes and the precompiled headers are left out).
objects() {
    find "$dir/src/CMakeFiles" -name '*.cpp.o' | sort | while read -r o; do
        target=${o#"$dir"/src/CMakeFiles/}
        target=${target%%.dir/*}
        source=src/${o#*.dir/}
        source=${source%.o}
        [ -f "$source" ] && echo "$target/$(basename "$o") $source $o"
    done
}

# Prints "KEY SOURCE SECTION GROUP" for each function section of the objects
# of src/; GROUP is "G" for an inline function or a template (a copy the
# linker keeps once, from any object), "-" for the object's own function.
defined_sections() {
    objects | while read -r key source o; do
        readelf -SW "$o" | awk -v key="$key" -v source="$source" '
            $0 ~ /\] \.text\./ {
                sub(/.*\] /, ""); group = ($7 ~ /G/) ? "G" : "-"
                print key, source, $1, group
            }'
    done
}

# The tests the list names ("test Suite.Name" after a function's "#") that no
# TEST, TEST_F or TEST_P of tests/ defines.
defined_tests() {
    find tests -name '*.cpp' -exec cat {} + | tr '\n' ' ' |
        grep -oE 'TEST(_F|_P)?\([[:space:]]*[A-Za-z0-9_]+[[:space:]]*,[[:space:]]*[A-Za-z0-9_]+[[:space:]]*\)' |
        sed -E 's/^TEST(_F|_P)?\([[:space:]]*([A-Za-z0-9_]+)[[:space:]]*,[[:space:]]*([A-Za-z0-9_]+).*/\2.\3/' | sort -u
}
defined_tests >"$maps/tests"
missing_tests=$(sed -n 's/^[^#[][^#]*#.*[^A-Za-z0-9_]test \([A-Za-z0-9_]*\.[A-Za-z0-9_]*\).*/\1/p' "$allowed" |
    sort -u | comm -23 - "$maps/tests")

configure
# shellcheck disable=SC2086
cmake --build "$dir" --target $programs >/dev/null
kept=$(mktemp)
trap 'rm -f "$kept"' EXIT
kept_sections $(for p in $programs; do echo "$maps/$p.map"; done) >"$kept"

# A section is unreached when no program kept it: the object's own function
# from that object, an inline function or a template from any object. Of the
# inline functions and templates only those of the kalvor namespace are ours;
# the static functions of the standard library's and Qt's headers are theirs;
# the static initialisers come with their objects.
unreached=$(defined_sections | awk -v kept="$kept" '
    # A constructor or destructor is one function in several variants (the
    # complete object, the base part, the deleting one): one kept keeps all.
    function variants(section) { gsub(/C[123]E/, "C_E", section); gsub(/D[012]E/, "D_E", section); return section }
    BEGIN {
        while ((getline line < kept) > 0) {
            split(line, f, " "); own[f[1] " " variants(f[2])] = 1; any[variants(f[2])] = 1
        }
    }
    {
        name = substr($3, 7); $3 = variants($3)
        if (name ~ /^_ZT[hvc]/) next # a thunk goes with its function
        if (name ~ /^_GLOBAL__sub_I_|^_Z41__static_initialization_and_destruction/) next
        if ($4 == "G") { if (any[$3] || name !~ /^_ZN[KVRO]*6kalvor/) next }
        else if (own[$1 " " $3]) next
        if (name ~ /^(__|_ZSt|_ZNK?St|_ZN(3std|9__gnu_cxx|9QtPrivate|2Qt|18QtMetaTypePrivate)|_ZL[0-9]+(q[A-Z_]|__))/) next
        print $2 "\t" name
    }' | sort -u | while IFS='	' read -r source name; do
        printf '%s: %s\n' "$source" "$(echo "$name" | c++filt)"
    done)

# A lambda of a listed function, and the code made for it, go with the
# function.
unreached=$(echo "$unreached" | awk '
    { line[NR] = $0 }
    END {
        for (i = 1; i <= NR; i++) {
            inner = 0
            for (j = 1; j <= NR && !inner; j++) {
                if (j == i || index(line[j], "{lambda")) continue
                source = substr(line[j], 1, index(line[j], ": ") + 1)
                if (index(line[i], source) == 1 && index(line[i], substr(line[j], length(source) + 1) "::{lambda")) inner = 1
            }
            if (!inner && line[i] != "") print line[i]
        }
    }')

# The functions no program reaches that may stand (tools/unused-allowed.txt
# says which and why): one function a line as listed above, its file first,
# then "#" and why; lines that start with "#" or "[" (a section's name) and
# blank lines are not names.
names=$(sed -e '/^[[:space:]]*[#[]/d' -e 's/[[:space:]]*#.*//' -e '/^[[:space:]]*$/d' "$allowed")
unlisted=$(echo "$unreached" | awk -v names="$names" '
    BEGIN { n = split(names, line, "\n"); for (i = 1; i <= n; i++) name[line[i]] = 1 }
    $0 != "" && !($0 in name)')
reached=$(echo "$names" | awk -v listed="$unreached" '
    BEGIN { n = split(listed, line, "\n"); for (i = 1; i <= n; i++) seen[line[i]] = 1 }
    $0 != "" && !($0 in seen)')

status=0
if [ -n "$unlisted" ]; then
    echo "$unlisted"
    echo "These functions of src/ no program reaches (only the tests, or nothing): use them or remove them."
    status=1
fi
if [ -n "$missing_tests" ]; then
    echo "$missing_tests"
    echo "$allowed names these tests, which tests/ does not define: name the test that proves the function."
    status=1
fi
if [ -n "$reached" ]; then
    echo "$reached"
    echo "$allowed names these functions, which a program reaches or which are gone: take them off the list."
    status=1
fi
exit $status
