#!/usr/bin/env python3
"""Writes the two pay statement templates of data/Shablon:

  pv-okud0301011.rtf       form T-53 (OKUD 0301011)
  pv-budg-okud0504403.rtf  form 0504403 of the budget organisations

Both are A4 portrait documents in the shape that print::CTree reads (see
src/print/CTree.h): one "page0" region made of table rows, each row region
"rowN" one table row whose first cell opens it (the start of a region stands
before the end of the one above it), value slots "parK" numbered through the
file. The rows follow the order and the value counts of the pay statement
writer (src/print/PayStatement.cpp).

The list has no hard page breaks: every row has an exact height, and the
heights are chosen so that a sheet holds the title and the lines of the
writer's page sizes (T-53: the title page filled by its 26 blank rows, then
35 lines a sheet; 0504403: the title and 26 lines, then 38 lines a sheet). The
page-header rows that the writer adds after a full sheet thus begin the next
sheet.

Run from the project folder after changing a layout:
    python3 tools/make_pay_statement_templates.py
"""
import os

PAGE_WIDTH, PAGE_HEIGHT = 11906, 16838
MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM = 1134, 567, 567, 567
WIDTH = PAGE_WIDTH - MARGIN_LEFT - MARGIN_RIGHT      # 10205 twips
HEIGHT = PAGE_HEIGHT - MARGIN_TOP - MARGIN_BOTTOM    # 15704 twips
# What a sheet keeps free below its last row; less than a page-header row, so
# that the header of the next sheet never fits under a full one.
SLACK = 120

SLOT = object()  # a value slot of the writer


def rtf_text(text):
    out = []
    for byte in text.encode('cp1251'):
        ch = chr(byte)
        if ch in '\\{}':
            out.append('\\' + ch)
        elif byte >= 0x80:
            out.append("\\'%02x" % byte)
        else:
            out.append(ch)
    return ''.join(out)


class Cell:
    def __init__(self, width, *items, align='l', borders='', size=20, bold=False, italic=False, valign='c'):
        self.width, self.items, self.align, self.borders = width, items, align, borders
        self.size, self.bold, self.italic, self.valign = size, bold, italic, valign


class Row:
    def __init__(self, height, cells, region=True):
        self.height, self.cells, self.region = height, cells, region
        total = sum(c.width for c in cells)
        assert total <= WIDTH, 'row wider than the page: %d' % total


# Cell kinds of the forms.
def text(width, *items, **format):        # plain text
    return Cell(width, *items, **format)


def line(width, *items, **format):        # a field on a line (bottom border)
    format.setdefault('align', 'c')
    return Cell(width, *items, borders='b', **format)


def box(width, *items, **format):         # a framed field
    format.setdefault('align', 'c')
    return Cell(width, *items, borders='tlbr', **format)


def caption(width, words):                # the small caption under a field
    return Cell(width, words, align='c', size=13, valign='t')


def gap(width):
    return Cell(width)


def spacing(height):
    return Row(height, [Cell(WIDTH, size=4)])


def signature(height, label, label_width, fields):
    """A signature line: label, then fields on lines with gaps between them;
    each field is ('slot' | '' | text, width)."""
    cells = [text(label_width, label)]
    for index, (content, width) in enumerate(fields):
        if index:
            cells.append(gap(200))
        cells.append(line(width, SLOT) if content == 'slot' else line(width, content))
    return Row(height, cells)


def captions(height, label_width, fields):
    cells = [gap(label_width)]
    for index, (words, width) in enumerate(fields):
        if index:
            cells.append(gap(200))
        cells.append(caption(width, words))
    return Row(height, cells)


def date_line(height, label='', label_width=0, slots=True):
    """«__» ________ 20__ г. with three fields."""
    field = (lambda: SLOT) if slots else (lambda: '')
    cells = [text(label_width, label)] if label else []
    cells += [text(200, '«', align='r'), line(450, field()), text(200, '»'), line(1500, field()),
              text(300, '20', align='r'), line(350, field()), text(300, 'г.')]
    return Row(height, cells)


def period_line(height):
    """с «__» ________ 20__ г. по «__» ________ 20__ г. with six fields."""
    return Row(height, [text(350, 'с «', align='r'), line(450, SLOT), text(200, '»'), line(1500, SLOT),
                        text(300, '20', align='r'), line(350, SLOT), text(900, 'г.   по «', align='r'),
                        line(450, SLOT), text(200, '»'), line(1500, SLOT), text(300, '20', align='r'),
                        line(350, SLOT), text(300, 'г.')])


# ---------------------------------------------------------------- RTF output

def cell_definitions(row):
    out, right = [], 0
    for cell in row.cells:
        for side in cell.borders:
            out.append('\\clbrdr%s\\brdrs\\brdrw10 ' % side)
        out.append({'t': '\\clvertalt', 'c': '\\clvertalc', 'b': '\\clvertalb'}[cell.valign])
        right += cell.width
        out.append('\\cellx%d' % right)
    return ''.join(out)


def write_row(row, opening, counter):
    out = ['\\trowd \\trgaph40\\trleft0\\trrh-%d' % row.height, cell_definitions(row), '\n']
    for index, cell in enumerate(row.cells):
        format = '\\f0\\fs%d' % cell.size + ('\\b' if cell.bold else '') + ('\\i' if cell.italic else '')
        out.append('\\pard\\plain \\intbl\\q%s\\sl-%d\\slmult0%s ' % (cell.align, cell.size * 10 + 20, format))
        if index == 0:
            out.append(opening)
        for item in cell.items:
            if item is SLOT:
                out.append('{\\*\\bkmkstart par%d}{\\*\\bkmkend par%d}' % (counter[0], counter[0]))
                counter[0] += 1
            else:
                out.append('{%s}' % rtf_text(item))
        out.append('{\\cell }')
        out.append('\n')
    out.append('{\\row }\n')
    return ''.join(out)


def write_template(path, title, rows):
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text(title),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d \\fet0\\sectd \\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM,
              PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM)]
    counter = [0]
    # The page opens with a hair-thin row outside the regions: the first
    # region must follow a row end.
    out.append(write_row(Row(PREFIX_HEIGHT, [Cell(WIDTH, size=2)]), '{\\*\\bkmkstart page0}', counter))
    number = 0
    for row in rows:
        assert row.region
        opening = '{\\*\\bkmkstart row%d}' % number
        if number:
            opening += '{\\*\\bkmkend row%d}' % (number - 1)
        out.append(write_row(row, opening, counter))
        number += 1
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend row%d}{\\par }\n' % (number - 1))
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d rows, %d value slots' % (path, number, counter[0]))


PREFIX_HEIGHT = 20


def total_height(rows):
    return sum(r.height for r in rows)


# ---------------------------------------------------------------- form T-53

T53_LINE_COLUMNS = [900, 1100, 3300, 1500, 1900, 1505]


def t53_list_rows():
    header = [
        Row(300, [text(5400, SLOT, size=16), text(2700, SLOT, align='r', size=16, italic=True),
                  text(2105, ' ', SLOT, size=16, italic=True)]),                                   # row27
        Row(720, [box(w, words, size=16) for w, words in zip(
            T53_LINE_COLUMNS, ['Номер по порядку', 'Табельный номер', 'Фамилия, инициалы', 'Сумма, руб.',
                               'Подпись в получении денег', 'Примечание'])]),                      # row28
        Row(240, [box(w, str(n + 1), size=14) for n, w in enumerate(T53_LINE_COLUMNS)]),           # row29
    ]
    line_height = (HEIGHT - total_height(header) - SLACK) // 35
    list_line = Row(line_height, [box(900, SLOT), box(1100, SLOT), box(3300, SLOT, align='l'),
                                  box(1500, SLOT, align='r'), box(1900, SLOT), box(1505, SLOT)])   # row30
    return header, list_line


def t53_title_rows():
    code_label, code_box = 2000, 1300
    left = WIDTH - code_label - code_box
    return [
        Row(220, [text(WIDTH, 'Унифицированная форма № Т-53', align='r', size=14)]),                # row0
        Row(220, [text(WIDTH, 'Утверждена постановлением Госкомстата России от 05.01.2004 № 1',
                       align='r', size=14)]),                                                       # row1
        Row(280, [gap(left + code_label), box(code_box, 'Код', size=18)]),                          # row2
        Row(300, [gap(left), text(code_label, 'Форма по ОКУД ', align='r'),
                  box(code_box, '0301011', bold=True)]),                                            # row3
        Row(100, [gap(WIDTH)]),                                                                     # row4
        Row(100, [gap(WIDTH)]),                                                                     # row5
        Row(320, [line(left - 200, SLOT, align='l'), gap(200), text(code_label, 'по ОКПО ', align='r'),
                  box(code_box, SLOT)]),                                                            # row6
        Row(200, [caption(left - 200, '(наименование организации)')]),                             # row7
        Row(320, [line(left - 200, SLOT, align='l')]),                      # row8
        Row(320, [caption(left - 200, '(структурное подразделение)'), gap(200),
                  text(code_label, 'Корреспондирующий счет ', align='r', size=16),
                  box(code_box, SLOT)]),                                                            # row9
        Row(160, [gap(WIDTH)]),                                                                     # row10
        Row(300, [text(WIDTH, 'В кассу для оплаты в срок')]),                                       # row11
        period_line(320),                                                                           # row12
        Row(500, [text(900, 'в сумме', valign='b'), line(9305, SLOT, align='l', valign='b')]),      # row13
        Row(200, [gap(900), caption(9305, '(прописью)')]),                                          # row14
        Row(320, [line(3600, SLOT, align='l'), text(600, 'руб.'), line(500, SLOT), text(900, 'коп.  ('),
                  line(1600, SLOT, align='r'), text(600, 'руб.'), line(500, SLOT), text(600, 'коп.)')]),  # row15
        Row(200, [gap(WIDTH)]),                                                                     # row16
        signature(320, 'Руководитель организации', 2600,
                  [('slot', 2300), ('', 1700), ('slot', 3000)]),                                    # row17
        captions(200, 2600, [('(должность)', 2300), ('(личная подпись)', 1700),
                             ('(расшифровка подписи)', 3000)]),                                     # row18
        signature(320, 'Главный бухгалтер', 2600, [('', 2300), ('slot', 3000)]),                    # row19
        captions(200, 2600, [('(личная подпись)', 2300), ('(расшифровка подписи)', 3000)]),         # row20
        date_line(320),                                                                             # row21
        Row(200, [gap(WIDTH)]),                                                                     # row22
        Row(300, [gap(4400), Cell(1300, 'Номер', align='c', borders='tlr', size=16),
                  Cell(1500, 'Дата', align='c', borders='tlr', size=16),
                  box(3005, 'Расчетный период', size=16)]),                                        # row23
        Row(300, [gap(4400), Cell(1300, 'документа', align='c', borders='lbr', size=16),
                  Cell(1500, 'составления', align='c', borders='lbr', size=16),
                  box(1500, 'с', size=16), box(1505, 'по', size=16)]),                              # row24
        Row(420, [text(4400, 'ПЛАТЕЖНАЯ ВЕДОМОСТЬ  ', align='r', size=26, bold=True),
                  box(1300, SLOT, bold=True), box(1500, SLOT), box(1500, SLOT), box(1505, SLOT)]),  # row25
    ]


def t53_closing_rows():
    return [
        Row(200, [gap(WIDTH)]),                                                                     # row31
        Row(320, [gap(5600), text(2400, 'Количество листов ', align='r'), line(800, SLOT)]),        # row32
        Row(200, [gap(WIDTH)]),                                                                     # row33
        Row(320, [text(4800, 'По настоящей платежной ведомости выплачена сумма'), line(3205, ''),
                  text(600, ' руб.'), line(500, ''), text(600, ' коп.')]),                         # row34
        Row(200, [gap(4800), caption(3205, '(прописью)')]),                                         # row35
        Row(320, [text(200, '('), line(1800, ''), text(600, ' руб.'), line(500, ''),
                  text(700, ' коп.)')]),                                                            # row36
        Row(320, [text(2400, 'и депонирована сумма'), line(5605, ''), text(600, ' руб.'), line(500, ''),
                  text(600, ' коп.')]),                                                            # row37
        Row(200, [gap(2400), caption(5605, '(прописью)')]),                                         # row38
        Row(320, [text(200, '('), line(1800, ''), text(600, ' руб.'), line(500, ''),
                  text(700, ' коп.)')]),                                                            # row39
        Row(200, [gap(WIDTH)]),                                                                     # row40
        Row(100, [gap(WIDTH)]),                                                                     # row41
        signature(320, 'Выплату произвел', 2200, [('slot', 2500), ('', 1700), ('slot', 3000)]),     # row42
        captions(200, 2200, [('(должность)', 2500), ('(личная подпись)', 1700),
                             ('(расшифровка подписи)', 3000)]),                                     # row43
        Row(440, [text(3000, 'Расходный кассовый ордер №'), line(1000, ''),
                  text(500, 'от', align='c')] + date_line(440, slots=False).cells),                # row44
        signature(320, 'Проверил бухгалтер', 2200, [('', 2500), ('slot', 3000)]),                   # row45
        captions(200, 2200, [('(личная подпись)', 2500), ('(расшифровка подписи)', 3000)]),         # row46
        date_line(400),                                                                             # row47
    ]


def t53_rows():
    title = t53_title_rows()
    header, list_line = t53_list_rows()
    # The title page is filled by the 26 blank rows of row26, so that the
    # first page header begins the second sheet.
    free = HEIGHT - PREFIX_HEIGHT - total_height(title) - SLACK
    assert free >= 26 * 20, 'the T-53 title does not fit its page'
    blank = Row(free // 26, [gap(WIDTH)])                                                           # row26
    return title + [blank] + header + [list_line] + t53_closing_rows()


# ---------------------------------------------------------------- form 0504403

BUDGET_LINE_COLUMNS = [900, 3600, 1200, 1600, 2905]


def budget_list_rows():
    header = [
        Row(280, [text(5600, SLOT, size=16), text(3000, SLOT, align='r', size=16, italic=True),
                  text(1605, ' ', SLOT, size=16, italic=True)]),                                   # row16
        Row(600, [box(w, words, size=16) for w, words in zip(
            BUDGET_LINE_COLUMNS, ['Номер по порядку', 'Фамилия, имя, отчество', 'Табельный номер',
                                  'Сумма, руб.', 'Подпись в получении денег (запись о депонировании суммы)'])]),  # row17
        Row(240, [box(w, str(n + 1), size=14) for n, w in enumerate(BUDGET_LINE_COLUMNS)]),        # row18
    ]
    line_height = (HEIGHT - total_height(header) - SLACK) // 38
    list_line = Row(line_height, [box(900, SLOT), box(3600, SLOT, align='l'), box(1200, SLOT),
                                  box(1600, SLOT, align='r'), box(2905, SLOT)])                     # row19
    return header, list_line


def budget_title_rows(height):
    code_label, code_box = 1900, 1300
    left = WIDTH - code_label - code_box
    rows = [
        Row(260, [text(WIDTH, 'В кассу для оплаты в срок')]),                                       # row0
        period_line(320),                                                                           # row1
        Row(460, [text(900, 'в сумме', valign='b'), line(9305, SLOT, align='l', valign='b')]),      # row2
        signature(300, 'Руководитель', 2200, [('', 2000), ('slot', 3000)]),                         # row3
        captions(180, 2200, [('(подпись)', 2000), ('(расшифровка подписи)', 3000)]),               # row4
        signature(300, 'Главный бухгалтер', 2200, [('', 2000), ('slot', 3000)]),                    # row5
        captions(180, 2200, [('(подпись)', 2000), ('(расшифровка подписи)', 3000)]),               # row6
        Row(280, [gap(left + code_label), box(code_box, 'КОДЫ', size=18)]),                         # row7
        Row(340, [text(left - 800, 'ПЛАТЕЖНАЯ ВЕДОМОСТЬ № ', align='r', size=26, bold=True),
                  line(800, SLOT, bold=True), text(code_label, 'Форма по ОКУД ', align='r'),
                  box(code_box, '0504403', bold=True)]),                                            # row8
        Row(300, [gap(left), text(code_label, 'Дата ', align='r'), box(code_box, SLOT)]),          # row9
        Row(300, [gap(2200), text(400, 'за ', align='r'), line(1600, SLOT), text(400, '20', align='r'),
                  line(350, SLOT, align='l'), text(left - 4950, ' г.'),
                  text(code_label, 'по ОКПО ', align='r'), box(code_box, SLOT)]),                   # row10
        Row(300, [text(2600, 'Учреждение'), line(left - 2600, SLOT, align='l'),
                  text(code_label, 'Глава по БК ', align='r'), box(code_box, SLOT)]),               # row11
        Row(300, [text(2600, 'Структурное подразделение'), line(left - 2600, SLOT, align='l'),
                  gap(code_label), box(code_box, '')]),                                             # row12
        Row(300, [text(left, 'Единица измерения: руб.'), text(code_label, 'по ОКЕИ ', align='r'),
                  box(code_box, '383')]),                                                           # row13
        None,                                                                                       # row14
        Row(320, [text(1200, 'Дебет счета', size=16), line(1000, SLOT),
                  text(1300, 'Кредит счета', align='r', size=16), line(1000, SLOT),
                  text(1400, 'Срок выплаты', align='r', size=16), line(1000, SLOT),
                  text(1700, 'Дата составления', align='r', size=16), line(1305, SLOT)]),            # row15
    ]
    # row14 takes what is left of the title's height.
    rows[14] = Row(height - total_height([r for r in rows if r is not None]), [gap(WIDTH)])
    assert rows[14].height >= 100, 'the 0504403 title is too high'
    return rows


def budget_closing_rows():
    return [
        Row(320, [box(5700, 'Итого по ведомости', align='r', bold=True), box(1600, SLOT, align='r', bold=True),
                  box(2905, '')]),                                                                   # row20
        Row(240, [gap(WIDTH)]),                                                                     # row21
        Row(320, [text(4300, 'По настоящей ведомости выплачена сумма'), line(3705, ''),
                  text(600, ' руб.'), line(500, ''), text(600, ' коп.')]),                         # row22
        Row(200, [gap(4300), caption(3705, '(прописью)')]),                                         # row23
        Row(320, [text(2400, 'и депонирована сумма'), line(5605, ''), text(600, ' руб.'), line(500, ''),
                  text(600, ' коп.')]),                                                            # row24
        Row(200, [gap(2400), caption(5605, '(прописью)')]),                                         # row25
        signature(320, 'Ведомость к выплате принял', 3000, [('', 1900), ('slot', 3000)]),           # row26
        captions(200, 3000, [('(подпись)', 1900), ('(расшифровка подписи)', 3000)]),               # row27
        Row(120, [gap(WIDTH)]),                                                                     # row28
        signature(320, 'Выплату произвел', 2200, [('slot', 2300), ('', 1700), ('slot', 3000)]),     # row29
        captions(200, 2200, [('(должность)', 2300), ('(подпись)', 1700),
                             ('(расшифровка подписи)', 3000)]),                                     # row30
        Row(120, [gap(WIDTH)]),                                                                     # row31
        signature(320, 'Проверил', 2200, [('slot', 2300), ('', 1700), ('slot', 3000)]),             # row32
        captions(200, 2200, [('(должность)', 2300), ('(подпись)', 1700),
                             ('(расшифровка подписи)', 3000)]),                                     # row33
        Row(400, [text(3000, 'Расходный кассовый ордер №', valign='b'), line(1000, SLOT, valign='b'),
                  text(500, 'от', align='c', valign='b'), line(2000, SLOT, valign='b')]),          # row34
    ]


def budget_rows():
    header, list_line = budget_list_rows()
    # The first sheet: the title, the header and 26 lines.
    title_height = HEIGHT - PREFIX_HEIGHT - total_height(header) - 26 * list_line.height - SLACK
    return budget_title_rows(title_height) + header + [list_line] + budget_closing_rows()


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, 'pv-okud0301011.rtf'),
                   'Платежная ведомость (форма Т-53)', t53_rows())
    write_template(os.path.join(folder, 'pv-budg-okud0504403.rtf'),
                   'Платежная ведомость (форма 0504403)', budget_rows())


if __name__ == '__main__':
    main()
