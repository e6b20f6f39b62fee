#!/bin/sh
# A pay kind is compared with its code by the code's name: payroll/PayKindCodes.h
# names every code and class of codes with a fixed meaning. A three-digit code
# (or one of the two-digit codes named there) compared with a row's or a
# kind's code (a name ending in "kod" or "code"), or a case label of such a
# number, anywhere else in src/ is named with its file and line, and the check
# fails. tools/test.sh runs it after tools/check_includes.sh.
set -eu
cd "$(dirname "$0")/.."

number='[1-9][0-9]{2}|71|79|84|87|88|96'
code='[[:alnum:]_]*([Kk]od|[Cc]ode)'
op='(==|!=|<=|>=|<|>)'
compared="\\b${code}\\)?[[:space:]]*${op}[[:space:]]*(${number})\\b|\\b(${number})[[:space:]]*${op}[[:space:]]*${code}\\b|\\bcase[[:space:]]+(${number})[[:space:]]*:"

# The comparisons not yet named, by file and count (each match counts, several
# on a line too). A file with more fails, and so does one with fewer until
# its count here is lowered: the list only shrinks, each code getting its
# name in payroll/PayKindCodes.h.
known='src/shell/ui/CCommonFormView.cpp 1
src/masterdata/PayKindBook.cpp 1
src/exchange/PfSzv6Xml.cpp 12
src/exchange/PostingsInfin.cpp 3
src/exchange/T54Form.cpp 15
src/reports/social/Fss4Common.cpp 1'

found=$(grep -rnoE "$compared" src --include='*.h' --include='*.cpp' | grep -v '^src/payroll/PayKindCodes\.h:' || true)

failed=0
for file in $( (echo "$found" | cut -d: -f1; echo "$known" | cut -d' ' -f1) | grep . | sort -u); do
    count=$(echo "$found" | grep -c "^$file:" || true)
    allowed=$(echo "$known" | awk -v f="$file" '$1 == f { print $2 }')
    if [ "$count" -gt "${allowed:-0}" ]; then
        echo "$found" | grep "^$file:" | cut -d: -f1,2 | uniq |
            sed 's/$/: a pay-kind code compared by its number (name it in payroll\/PayKindCodes.h)/' >&2
        failed=1
    elif [ "$count" -lt "${allowed:-0}" ]; then
        echo "$file: $count comparisons by number left, the list in tools/check_codes.sh says $allowed (lower it)" >&2
        failed=1
    fi
done
exit $failed
