#!/bin/sh
# The rules over the program's own sources that no compiler checks. Each check
# below is one function: it names every line that breaks its rule with the
# file and line, and the script fails when any check found one. tools/test.sh
# runs it after tools/check_includes.sh.
set -eu
cd "$(dirname "$0")/.."
status=0

# The .h and .cpp files of src/, one path a line.
sources() { find src -type f \( -name '*.h' -o -name '*.cpp' \) | sort; }

# Prints "path:line: text (why)" for each line of the files given on standard
# input that the Perl expression $1 accepts (the line in $_), with the rule's
# words $2 as the why.
lines_where() {
    xargs perl -ne 'BEGIN { $rule = shift @ARGV; $why = shift @ARGV } chomp;
        if (eval $rule) { (my $t = $_) =~ s/^\s+|\s+$//g; print "$ARGV:$.: $t ($why)\n" }
        die $@ if $@; close ARGV if eof;' "$1" "$2"
}

# A book's record (schedule, tax table, pay kind, shop) is reached by its
# book number through the base's accessors (scheduleAt, taxTableAt,
# payKindAt, shopAt), never by an index into the book's array outside
# infobase/, whatever the index is called. The recipients' book and the
# pay-kind book are private to their classes (recipientAt, recipients();
# payKindAt, payKinds()), so no code outside can index their arrays; the
# pay-kind book's read-only view, payKinds(), is not indexed either.
check_book_indexes() {
    sources | grep -v '^src/infobase/' |
        lines_where '(my $c = $_) =~ s{//.*}{}; $c =~ m{\b(schedules|nalog|shops)\s*\[|\bpayKinds\(\)\s*\[}' \
        "a book's record reached by an index: use its accessor by book number"
}

# The book number is held as one from where it is made: outside infobase/ no
# call of a book's accessor adds or takes one in its argument (a place from 0
# turned into a number at the call, however deep in the call's parentheses).
# A place that the base stores is turned into a number by its accessor.
check_book_number_arithmetic() {
    sources | grep -v '^src/infobase/' | lines_where '(my $c = $_) =~ s{//.*}{}; my $found = 0;
        while ($c =~ m{\b(?:scheduleAt|nearestSchedule|holdsSchedule|taxTableAt|holdsTaxTable|payKindAt|holdsPayKind
                          |recipientAt|holdsRecipient|shopAt|holdsShop)\s*(\((?:[^()]++|(?1))*\))}gx) {
            $found = 1 if $1 =~ m{[-+]\s*1\b};
        }
        $found' "a place turned into a book number at an accessor's call: hold the number from where it is made"
}

# No code works out an array place from a record slot ("slot - 1" as an
# index), the base's own code included: it goes through the base's slot
# accessors, a line array's index words (word, setWord) or a table by slot
# (BySlot), which keep the rule in one place, infobase/BySlot.h (SlotPlace,
# and PlaceOfNumber for what lies past any array, a file of a block a slot).
check_slot_arithmetic() {
    sources | grep -v '^src/infobase/BySlot\.h$' |
        lines_where '(my $c = $_) =~ s{//.*}{}; $c =~ m{[sS]lot\w*(\([^()]*\))?\s*-\s*1\b}' \
        "an array place worked out from a slot: use the slot accessors or BySlot"
}

# A record slot has one bound, the base's per-slot arrays (holdsSlot, up to
# slotCount()): no code compares a slot with capacity(), which is the limit of
# the employees a base takes, nor with the length of an array kept by slot
# (the per-slot arrays, private to the base, or a line array's index words).
check_slot_bound() {
    sources | grep -v '^src/infobase/InfoBase\.h$' |
        lines_where '(my $c = $_) =~ s{//.*}{}; $c =~ m{[sS]lot\w*\)?\s*[<>]=?\s*[\w.()>-]*(capacity\(\)
                                                         |\b(shortNames|attributes|shopBytes|tabel|av|zar1|index)_?\.size\(\))}x' \
        "a slot bounded by capacity() or by the length of an array kept by slot: use holdsSlot"
}

# The loaders, savers and checks of infobase/ name a table only through its
# declaration: no string of theirs types "dbo.<name>" or a statement's table
# (FROM, INTO, UPDATE, JOIN followed by a name). The declarations themselves
# (StoredTables.cpp) and the rows of the released schema step, which never
# changes, are where names are typed.
check_table_names() {
    sources | grep '^src/infobase/' | grep -v '/StoredTables\.cpp$' | lines_where '
        return 0 if m{^\s*//};
        my @released = ("INSERT INTO dbo.config (id, kolMax, kolRab, parol, tekMes, nEnt, okrugRas, ",
            "sort, okrugVyp, okrugVypRest, dosStr, r_g, r_m1, r_m2) ",
            "INSERT INTO dbo.infFirm (id) VALUES (1)", "INSERT INTO dbo.infPar (id) VALUES (1)");
        my $typed = 0;
        while (m{"((?:[^"\\]|\\.)*)"}g) {
            my $text = $1;
            $typed = 1 if $text =~ m{\bdbo\.[A-Za-z_]|\b(FROM|INTO|UPDATE|JOIN)\s+(?!unnest\()[A-Za-z_]}
                && !grep { $_ eq $text } @released;
        }
        $typed' "a table named outside its declaration: use the table declaration"
}

# A pay kind is compared with its code by the code's name: infobase/PayKindCodes.h
# names every code and class of codes with a fixed meaning, and no other file
# compares a code with a number. A code is what a name "kod" or "code", or one
# ending in "Kod", "Code" or "PayKind", holds (a row's, a kind's, an entry's,
# a variable's or a parameter's, not a constant's "kName"); a number of
# another kind that is compared with numbers is named for what it is
# ("region", not "regionCode"). Named with its file and line:
# such a code compared with a number 1 to 9999, on either side ("kod == 7",
# "155 <= code && code <= 157"; "< 1" and ">= 1", a code at all, are not
# numbers of a code), handed with two numbers or more and nothing else to a
# helper (InRange(code, 155, 157), std::clamp(code, 1, 699), a list of
# ranges; one number is a width, Number(kod, 3)), or a case label of a number
# in a switch on a code. Comments, texts and template arguments
# ("std::array<double, 15> incomeByCode") are not read.
check_compared_codes() {
    sources | grep -v '^src/infobase/PayKindCodes\.h$' | xargs perl -e '
        my $code = qr/\b(?:kod|code|payKind|(?!k[A-Z])[a-z]\w*(?:Kod|Code|PayKind))\b/;
        my $held = qr/(?:[\w\[\]]+(?:\.|->))*$code/;
        my $number = qr/(?<![\w.\x27])[1-9][0-9]{0,3}(?![\w.\x27])/;
        my $op = qr/==|!=|<=|>=|<|>/;
        for my $file (@ARGV) {
            open(my $in, "<", $file) or die "$file: $!";
            my ($depth, @switches) = (0);
            while (my $line = <$in>) {
                (my $c = $line) =~ s{//.*|/\*.*?\*/}{}g;
                $c =~ s{"(?:[^"\\]|\\.)*"}{""}g;
                $c =~ s{\x27(?:[^\x27\\]|\\.)*\x27}{0}g;
                $c =~ s{(?<=\w)<[\w:,\s]*>}{}g;
                my $found = 0;
                while ($c =~ /$code\s*\)?\s*($op)\s*($number)/g) { $found ||= !($2 == 1 && ($1 eq "<" || $1 eq ">=")) }
                while ($c =~ /($number)\s*($op)\s*\(?\s*$held/g) { $found ||= !($1 == 1 && ($2 eq ">" || $2 eq "<=")) }
                $found ||= $c =~ /(?<![\w.>:])(?:std::)?\w+\s*\(\s*$held(?:\s*,[\s{}]*$number[\s{}]*){2,}\)/;
                push @switches, [$depth, scalar($1 =~ $code)] if $c =~ /\bswitch\s*\((.*)\)/;
                $found ||= @switches && $switches[-1][1] if $c =~ /\bcase\s+$number\s*:/;
                $depth += () = $c =~ /\{/g;
                $depth -= () = $c =~ /\}/g;
                pop @switches while @switches && $depth <= $switches[-1][0] && $c =~ /\}/;
                (my $t = $line) =~ s/^\s+|\s+$//g;
                print "$file:$.: $t (a pay-kind code compared by its number: name it in infobase/PayKindCodes.h)\n" if $found;
            }
            close $in;
        }'
}

# A row is made, rounded or summed under a pay-kind code by the code's name:
# no code is typed as a number where a row maker, the rounding by pay kind or
# a pay-kind lookup takes its code (DirectRow, AppendRow, AppendComputedRow,
# RoundByPayKind, FindPayKind, PayKindOf: "AppendRow(p, 153, ...)"), nor as
# the negated number where a base takes one code alone (PassBase,
# CalcBaseBySelector: "PassBase(p, 0, 0, -155, ...)"). Comments and texts are
# not read.
check_typed_row_codes() {
    sources | grep -v '^src/infobase/PayKindCodes\.h$' | lines_where '(my $c = $_) =~ s{//.*|/\*.*?\*/}{}g;
        $c =~ s{"(?:[^"\\]|\\.)*"}{""}g;
        my $arg = qr/(?:[^(),]++|(\((?:[^()]++|(?-1))*\)))*/;
        my $number = qr/\s*[1-9][0-9]{0,3}\s*/;
        $c =~ m{\b(?:DirectRow|AppendRow|AppendComputedRow|RoundByPayKind|FindPayKind|PayKindOf)\s*\($arg,$number[,)]}
            || $c =~ m{\b(?:PassBase|CalcBaseBySelector)\s*\($arg,$arg,$arg,\s*-$number[,)]}' \
        "a pay-kind code typed as a number where a row is made or found: name it in infobase/PayKindCodes.h"
}

# Every file the program writes goes through platform::SavedFile (a private
# temporary file renamed over the name, never through a link). Every way a
# file can be opened for writing is looked for; each one found must write
# through a SavedFile (a name the file or its header declares as one, or an
# in-memory buffer, which is no file; a SavedFile opened at once; a library
# handed the open SavedFile's temporary name), or be one of the few files kept
# open and written in place, each named below with why and each still there.
# The writers through SavedFile are counted: fewer than 30 means the scan no
# longer sees them.
check_file_writers() {
    sources | xargs perl -e '
        my @in_place = (
            ["src/platform/SavedFile.cpp", "mkostemp(", "the one write path itself"],
            ["src/platform/PrivateFiles.cpp", "O_WRONLY | O_CREAT | O_EXCL", "an empty private file made new, nothing written"],
            ["src/platform/ConsoleLog.cpp", "O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW", "the console log, appended"],
            ["src/platform/BaseLock.cpp", "O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW", "a base\x27s lock file, never written"],
            ["src/infobase/SwapFile.cpp", "O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW", "the run\x27s work store, made private"],
            ["src/infobase/BaseFiles.cpp", "out.open(QIODevice::WriteOnly | QIODevice::Truncate",
             "a new base\x27s file, made new and private and held just before"],
            ["src/infobase/BaseFiles.cpp", "QTemporaryFile holder", "a private temporary copy made new"],
            ["src/print/PrintOutput.cpp", "O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW",
             "the 1C transfer file, appended under the lock that program shares"],
        );
        my $writing = qr/QSaveFile|QTemporaryFile\s+\w|QFile::copy|fopen|ofstream|O_WRONLY|O_RDWR|O_CREAT|setOutputFileName|workbook_new|(?:(\w+)(?:\.|->)|\)\.)open\([^)]*(?:WriteOnly|ReadWrite|Append)/;
        my $declared = qr/(?:SavedFile>?|QBuffer)\s+(\w+)|(\w+)\s*=\s*std::make_unique<[\w:]*SavedFile>/;
        sub slurp { my $f = shift; open(my $h, "<", $f) or return ""; local $/; my $t = <$h>; return $t; }
        my ($through, %text) = (0);
        for my $file (@ARGV) {
            my $text = $text{$file} = slurp($file);
            (my $header = $file) =~ s/\.cpp$/.h/;
            my $all = $text . ($file =~ /\.cpp$/ && -f $header ? slurp($header) : "");
            my %saved;
            while ($all =~ /$declared/g) { $saved{defined $1 ? $1 : $2} = 1 }
            my $number = 0;
            for my $line (split /\n/, $text, -1) {
                ++$number;
                next if $line =~ m{^\s*//};
                $through += () = $line =~ /\bWriteWholeFile(?:Kind)?\(/g if $file !~ m{^src/platform/SavedFile\.};
                while ($line =~ /$writing/g) {
                    my ($match, $name) = ($&, $1);
                    my $saved = defined $name ? $saved{$name}
                        : $match =~ /^\)\.open\(/ ? index($line, "SavedFile(") >= 0
                        : index($line, "temporaryName()") >= 0;
                    if ($saved) { ++$through; next }
                    next if grep { $_->[0] eq $file && index($line, $_->[1]) >= 0 } @in_place;
                    (my $t = $line) =~ s/^\s+|\s+$//g;
                    print "$file:$number: $t (a file written otherwise than through platform::SavedFile)\n";
                }
            }
        }
        for my $w (@in_place) {
            print "$w->[0]: \"$w->[1]\" is no longer there ($w->[2]): take it off the list of files written in place\n"
                if index($text{$w->[0]} // "", $w->[1]) < 0;
        }
        print "src/: only $through writers through platform::SavedFile found, at least 30 expected\n" if $through < 30;
    '
}

# Every input a person types into is made with its kind (shell/ui/TypedInput.h):
# a line edit is a CTypedEdit, a date field a NullableDateEdit, a grid cell the
# grid's in-place editor, which takes its kind from the cell's column. A plain
# QLineEdit made anywhere else in src/ (with new, on the stack, as a base
# class or a member initialiser) is named.
check_plain_line_edits() {
    allowed='^src/(shell/ui/TypedInput\.(h|cpp)|shell/ui/NullableDateEdit\.(h|cpp)|grid/InPlaceEdit\.(h|cpp)):'
    made='new[[:space:]]+QLineEdit\b|make_unique<QLineEdit>|public[[:space:]]+QLineEdit\b|[:,][[:space:]]*QLineEdit[[:space:]]*\(|(^|[^[:alnum:]_:*&<])QLineEdit[[:space:]]+[[:alpha:]_][[:alnum:]_]*[[:space:]]*[({;]'
    sources | xargs grep -HnE "$made" | grep -vE "$allowed" |
        sed 's/$/: a line edit made without a kind (use CTypedEdit, shell\/ui\/TypedInput.h)/' || true
}

# What is typed is read by the input's kind: a field's value is what its
# CTypedEdit read (Reading, UnitsOr), a cell's what its column reads
# (GridCellUnits), a stored line's cells by their columns' rules
# (FigureUnitsOr). No screen and no saver reads a text again by the reader of
# month texts of values/Values.h (ParseMonthYear), which serves the files
# that exchange/ reads.
check_screen_readers() {
    sources | grep -Ev '^src/values/|^src/exchange/[^/]*$' | lines_where '(my $c = $_) =~ s{//.*}{};
        $c =~ m{\bParseMonthYear\s*\(}' \
        "a typed text is read again by a rule of its own: take the value its input's kind read, or read it by that kind (FigureUnitsOr)"
}

# Month keys (year x 16 + month) and month indexes ((year - 1900) x 12 +
# month) are made and read in values/Values.h alone (MonthKey, MonthIndex and
# its inverse, WrapMonth, MonthsAhead): outside values/ no year, month or key
# is multiplied, divided or taken the rest of by 12 or 16, shifted by 4 or
# masked with 15. A mask or a shift of a word that is no month key (a
# record's bit fields, a month number kept in bounds) names no key or year
# and is not read as one.
check_month_arithmetic() {
    sources | grep -v '^src/values/' | lines_where '(my $c = $_) =~ s{//.*}{}; $c =~ s{"(?:[^"\\]|\\.)*"}{""}g;
        my $group = qr/(\((?:[^()]++|(?-1))*\))/;
        my $operand = qr/(?:[A-Za-z_][\w.]*(?:->\w+)*(?:$group)?|$group)/;
        my $months = qr/year|Year|month|Month|\bmes|Mes|god|God|reporting|Reporting|\b[gm](?:Begin|End)\b/;
        my $keys = qr/key|Key|tekMes|year|Year|god|God|\bg(?:Begin|End)\b/;
        my $found = 0;
        while ($c =~ /($operand)\s*(?:[*\/%]\s*12\b(?!\.))/g) { $found ||= $1 =~ $months }
        while ($c =~ /(?<![\w.])12\s*\*\s*($operand)/g) { $found ||= $1 =~ $months }
        while ($c =~ /($operand)\s*(?:[*\/%]\s*16\b|>>\s*4\b|&\s*(?:15|0[xX]0?[fF])\b)/g) { $found ||= $1 =~ $keys }
        while ($c =~ /(?<![\w.])16\s*\*\s*($operand)/g) { $found ||= $1 =~ $keys }
        while ($c =~ /($operand)\s*<<\s*4\b/g) { $found ||= $1 =~ /year|Year|key|Key/ }
        $found' "a month key or index worked out by hand: use MonthKey, MonthIndex and their kin in values/Values.h"
}

for check in check_book_indexes check_book_number_arithmetic check_slot_arithmetic check_slot_bound check_table_names check_compared_codes check_typed_row_codes check_file_writers check_plain_line_edits check_screen_readers check_month_arithmetic; do
    found=$($check)
    if [ -n "$found" ]; then
        echo "$found" >&2
        status=1
    fi
done
exit $status
