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

# A book's record (schedule, tax table, pay kind, recipient, shop) is reached
# by its book number through the base's accessors (scheduleAt, taxTableAt,
# payKindAt, recipientAt, shopAt), never by an index into the book's array
# outside infobase/, whatever the index is called.
check_book_indexes() {
    sources | grep -v '^src/infobase/' |
        lines_where '(my $c = $_) =~ s{//.*}{}; $c =~ m{\b(schedules|nalog|payKinds|recipients|bank|shops)\s*\[}' \
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

# Outside the base no code works out an array place from a record slot
# ("slot - 1" as an index): it goes through the base's slot accessors or a
# table by slot (BySlot), which keep the rule in one place.
check_slot_arithmetic() {
    sources | grep -v '^src/infobase/' |
        lines_where '(my $c = $_) =~ s{//.*}{}; $c =~ m{[sS]lot\w*(\([^()]*\))?\s*-\s*1\b}' \
        "an array place worked out from a slot: use the slot accessors or BySlot"
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

# A pay kind is compared with its code by the code's name: payroll/PayKindCodes.h
# names every code and class of codes with a fixed meaning. A three-digit code
# (or one of the two-digit codes named there) compared with a row's or a
# kind's code (a name ending in "kod" or "code"), or a case label of such a
# number, anywhere else in src/ is named with its file and line. The
# comparisons not yet named are listed by file and count (each match counts,
# several on a line too): a file with more fails, and so does one with fewer
# until its count here is lowered, so that the list only shrinks.
check_compared_codes() {
    number='[1-9][0-9]{2}|71|79|84|87|88|96'
    code='[[:alnum:]_]*([Kk]od|[Cc]ode)'
    op='(==|!=|<=|>=|<|>)'
    compared="\\b${code}\\)?[[:space:]]*${op}[[:space:]]*(${number})\\b|\\b(${number})[[:space:]]*${op}[[:space:]]*${code}\\b|\\bcase[[:space:]]+(${number})[[:space:]]*:"
    known='src/shell/ui/CCommonFormView.cpp 1
src/masterdata/PayKindBook.cpp 1
src/exchange/PfSzv6Xml.cpp 12
src/exchange/PostingsInfin.cpp 3
src/exchange/T54Form.cpp 15
src/reports/social/Fss4Common.cpp 1'
    found=$(sources | xargs grep -HnoE "$compared" | grep -v '^src/payroll/PayKindCodes\.h:' || true)
    for file in $( (echo "$found" | cut -d: -f1; echo "$known" | cut -d' ' -f1) | grep . | sort -u); do
        count=$(echo "$found" | grep -c "^$file:" || true)
        allowed=$(echo "$known" | awk -v f="$file" '$1 == f { print $2 }')
        if [ "$count" -gt "${allowed:-0}" ]; then
            echo "$found" | grep "^$file:" | cut -d: -f1,2 | uniq |
                sed 's/$/: a pay-kind code compared by its number (name it in payroll\/PayKindCodes.h)/'
        elif [ "$count" -lt "${allowed:-0}" ]; then
            echo "$file: $count comparisons by number left, the list in check_compared_codes says $allowed (lower it)"
        fi
    done
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

for check in check_book_indexes check_book_number_arithmetic check_slot_arithmetic check_table_names check_compared_codes check_file_writers check_plain_line_edits; do
    found=$($check)
    if [ -n "$found" ]; then
        echo "$found" >&2
        status=1
    fi
done
exit $status
