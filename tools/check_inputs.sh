#!/bin/sh
# Every input a person types into is made with its kind (shell/ui/TypedInput.h):
# a line edit is a CTypedEdit, a date field a NullableDateEdit, a grid cell the
# grid's in-place editor, which takes its kind from the cell's column. A plain
# QLineEdit made anywhere else in src/ (with new, on the stack, as a base
# class or a member initialiser) is named with its file and line, and the
# check fails. tools/test.sh runs it after tools/check_includes.sh.
set -eu
cd "$(dirname "$0")/.."

# The files that make the typed inputs themselves.
allowed='^src/(shell/ui/TypedInput\.(h|cpp)|shell/ui/NullableDateEdit\.(h|cpp)|grid/InPlaceEdit\.(h|cpp)):'

made='new[[:space:]]+QLineEdit\b|make_unique<QLineEdit>|public[[:space:]]+QLineEdit\b|[:,][[:space:]]*QLineEdit[[:space:]]*\(|(^|[^[:alnum:]_:*&<])QLineEdit[[:space:]]+[[:alpha:]_][[:alnum:]_]*[[:space:]]*[({;]'

found=$(grep -rnE "$made" src --include='*.h' --include='*.cpp' | grep -vE "$allowed" || true)
if [ -n "$found" ]; then
    echo "$found" | sed 's/$/: a line edit made without a kind (use CTypedEdit, shell\/ui\/TypedInput.h)/' >&2
    exit 1
fi
