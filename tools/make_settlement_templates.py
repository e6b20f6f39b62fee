#!/usr/bin/env python3
"""Writes the five settlement statement templates of data/Shablon:

  t-51-albom1.rtf           form T-51, one part: 6 accrual and 4 deduction columns
  t-51-albom2.rtf           form T-51, left part (14 accrual columns) and right
                            part (7 deduction columns and the amounts to pay)
  t-49-albom1.rtf           form T-49, one part
  t-49-albom2.rtf           form T-49, left and right parts
  rpv-budg-okud0504401.rtf  form 0504401 of the budget organisations

All are A4 landscape documents in the shape that print::CTree reads (see
src/print/CTree.h): one "page0" region whose every copy begins a new sheet,
made of table rows; each row region "rowN" is one table row whose first cell
opens it (the start of a region stands before the end of the one above it);
value slots "parK" numbered through the file. The rows and their value
counts follow the settlement statement writer (src/print/SettlementStatement.cpp):
the writer starts a new page element after the rows that fill a sheet, so
the rows need no exact heights, only to let a full sheet fit. The album 2
templates hold the left part's rows (0-18 of T-51, 0-33 of T-49) and the
right part's rows (19-37, 34-67) in one page region, and the filler row
(39, 68) after them.

Run from the project folder after changing a layout:
    python3 tools/make_settlement_templates.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_pay_statement_templates as ps  # noqa: E402  (cells and RTF rows)

PAGE_WIDTH, PAGE_HEIGHT = 16838, 11906
MARGIN = 567
WIDTH = PAGE_WIDTH - 2 * MARGIN      # 15704 twips
ps.WIDTH = WIDTH                     # the row width check of the shared cells

SLOT = ps.SLOT
Cell, Row, text, line, box, caption, gap = ps.Cell, ps.Row, ps.text, ps.line, ps.box, ps.caption, ps.gap


def empty(height=120):
    return Row(height, [gap(WIDTH)])


def slots(count, width, **format):
    return [box(width, SLOT, **format) for _ in range(count)]


def spread(total, count):
    """count widths that add up to total."""
    base = total // count
    return [base + (1 if i < total - base * count else 0) for i in range(count)]


# ---------------------------------------------------------------- shared parts

def code_box(label, value_slot=True, label_width=2200, box_width=1400, left=None):
    left = WIDTH - label_width - box_width if left is None else left
    return [gap(left), text(label_width, label, align='r', size=16),
            box(box_width, SLOT if value_slot else '', size=16)]


def document_box(title, form_name, with_slots, doc_width=1400, date_width=1400, period_width=1400):
    """The title with the number, date and period boxes; four slots when with_slots."""
    left = WIDTH - doc_width - date_width - 2 * period_width
    value = (lambda **f: box(doc_width, SLOT, **f)) if with_slots else (lambda **f: box(doc_width, '', **f))
    cells = [text(left, title + '  ', align='r', size=24, bold=True), value(bold=True)]
    for width in (date_width, period_width, period_width):
        cells.append(box(width, SLOT if with_slots else '', size=18))
    return Row(420, cells)


def document_box_heads(doc_width=1400, date_width=1400, period_width=1400):
    left = WIDTH - doc_width - date_width - 2 * period_width
    return [Row(260, [gap(left), Cell(doc_width, 'Номер', align='c', borders='tlr', size=14),
                      Cell(date_width, 'Дата', align='c', borders='tlr', size=14),
                      box(2 * period_width, 'Отчетный период', size=14)]),
            Row(260, [gap(left), Cell(doc_width, 'документа', align='c', borders='lbr', size=14),
                      Cell(date_width, 'составления', align='c', borders='lbr', size=14),
                      box(period_width, 'с', size=14), box(period_width, 'по', size=14)])]


def page_line(extra_slots):
    """The line above the table: on later sheets "страница N (part)"."""
    cells = [text(1400, SLOT, size=14, italic=True), text(500, SLOT, size=14, italic=True),
             text(2600, SLOT, size=14, italic=True)]
    rest = WIDTH - 4500
    for width in spread(rest, extra_slots) if extra_slots else []:
        cells.append(text(width, SLOT, size=14))
    if not extra_slots:
        cells.append(gap(rest))
    return Row(240, cells)


def group_header(columns):
    """Captions over the table: (width, words) pairs."""
    return Row(420, [box(width, words, size=13) for width, words in columns])


def titles_row(cells):
    """A row of column titles: (width, slot or text) pairs."""
    out = []
    for width, content in cells:
        out.append(box(width, SLOT if content is SLOT else content, size=12))
    return Row(620, out)


def numbers_row(widths):
    return Row(200, [box(w, str(n + 1), size=12) for n, w in enumerate(widths)])


def values_row(widths, aligns, height=236, size=14):
    return Row(height, [box(w, SLOT, align=a, size=size) for w, a in zip(widths, aligns)])


# ---------------------------------------------------------------- the table of T-51 and T-49

class Table:
    """The columns of one part of a form: fixed person columns, accruals,
    deductions and the amounts to pay."""

    def __init__(self, person, accruals, deductions, tail, tail_words, width=WIDTH):
        self.person = person              # [(width, caption)]
        self.accruals, self.deductions = accruals, deductions
        self.tail, self.tail_words = tail, tail_words   # after the deductions: [(width, caption)]
        fixed = sum(w for w, _ in person) + sum(w for w, _ in tail)
        money = accruals + (1 if accruals else 0) + deductions + (1 if deductions else 0)
        self.money = spread(width - fixed, money) if money else []

    def widths(self):
        return [w for w, _ in self.person] + self.money + [w for w, _ in self.tail]

    def header(self):
        cols = list(self.person)
        m = iter(self.money)
        if self.accruals:
            cols.append((sum(next(m) for _ in range(self.accruals + 1)), 'Начислено по видам оплаты, руб.'))
        if self.deductions:
            cols.append((sum(next(m) for _ in range(self.deductions + 1)), 'Удержано и зачтено, руб.'))
        cols += self.tail_words
        return group_header(cols)

    def titles(self, accrual_slots, deduction_slots):
        cells = [(w, '') for w, _ in self.person]
        m = iter(self.money)
        if self.accruals:
            cells += [(next(m), SLOT if accrual_slots else '') for _ in range(self.accruals)]
            cells.append((next(m), 'всего' if accrual_slots else ''))
        if self.deductions:
            cells += [(next(m), SLOT if deduction_slots else '') for _ in range(self.deductions)]
            cells.append((next(m), 'всего' if deduction_slots else ''))
        cells += [(w, '') for w, _ in self.tail]
        return titles_row(cells)


def t51_tables(album):
    # Narrow person columns leave the twelve money columns of album 1 about
    # 630 twips, room for "1234567.89" in the 6-point figures of the rows.
    person = [(380, 'Номер по порядку'), (520, 'Табельный номер'), (1300, 'Фамилия, инициалы'),
              (1450, 'Должность (профессия)'), (760, 'Оклад (тариф), руб.'),
              (480, 'Отработано в рабочие дни'), (480, 'в выходные и праздничные дни')]
    tail = [(900, 'За организацией'), (900, 'За работником'), (1000, 'К выплате')]
    tail_words = [(1800, 'Сумма задолженности, руб.'), (1000, 'К выплате, руб.')]
    if album == 1:
        return [Table(person, 6, 4, tail, tail_words)]
    return [Table(person, 14, 0, [], []), Table([], 0, 7, tail, tail_words)]


def t49_tables(album):
    person = [(400, 'Номер по порядку'), (550, 'Табельный номер'), (1200, 'Должность (профессия)'),
              (750, 'Оклад (тариф), руб.'), (450, 'Отработано в рабочие дни'),
              (450, 'в выходные дни'), (450, 'в праздничные дни')]
    tail = [(750, 'За организацией'), (750, 'За работником'), (850, 'К выплате'), (1400, 'Расписка'),
            (650, 'Подпись')]
    tail_words = [(1500, 'Сумма задолженности, руб.'), (850, 'К выплате, руб.'),
                  (1400, 'Фамилия, инициалы'), (650, 'Подпись в получении')]
    if album == 1:
        return [Table(person, 6, 4, tail, tail_words)]
    return [Table(person, 14, 0, [], []), Table([], 0, 7, tail, tail_words)]


def employee_row(table, form):
    widths = table.widths()
    aligns = []
    if table.person:
        aligns += ['c', 'c'] + (['l'] if form == 't51' else []) + ['l', 'r', 'c', 'c'] + \
                  (['c'] if form == 't49' else [])
    aligns += ['r'] * len(table.money)
    if table.tail:
        aligns += ['r', 'r', 'r'] + (['l', 'c'] if form == 't49' else [])
    row = values_row(widths, aligns, size=12)
    if form == 't49' and table.tail:
        row.cells[-1] = box(widths[-1], '', size=14)       # the signature is written by hand
    return row


def totals_row(table, money_size=14):
    lead = sum(w for w, _ in table.person)
    cells = [box(lead, 'Итого', align='r', bold=True, size=14)] if lead else []
    cells += [box(w, SLOT, align='r', bold=True, size=money_size) for w in table.money]
    tail = [w for w, _ in table.tail]
    cells += [box(w, SLOT, align='r', bold=True, size=14) for w in tail[:3]]
    cells += [box(w, '', size=14) for w in tail[3:]]
    return Row(260, cells)


# ---------------------------------------------------------------- form T-51

def t51_part(album, part):
    """Rows b+0 to b+18 of one part (album 1: part 'both')."""
    left, right = part in ('both', 'left'), part in ('both', 'right')
    table = t51_tables(album)[0 if part in ('both', 'left') else 1]
    rows = [
        Row(200, [text(WIDTH, 'Унифицированная форма № Т-51', align='r', size=14)]),            # b+0
        Row(200, [text(WIDTH - 1400, 'Утверждена постановлением Госкомстата России от 05.01.2004 № 1',
                       align='r', size=14), box(1400, 'Код', size=16)]),                          # b+1
        Row(260, [gap(WIDTH - 4000), text(2600, 'Форма по ОКУД ', align='r', size=16),
                  box(1400, '0301010', size=16, bold=True)]),                                     # b+2
        Row(280, [line(WIDTH - 4000, SLOT, align='l') if left else gap(WIDTH - 4000),
                  text(2600, 'по ОКПО ', align='r', size=16),
                  box(1400, SLOT if part == 'both' else '', size=16)]),                           # b+3
        Row(260, [caption(WIDTH - 4000, '(наименование организации)' if left else ''),
                  text(2600, 'Вид деятельности по ОКДП ', align='r', size=16),
                  box(1400, SLOT if part == 'both' else '', size=16)]),                           # b+4
        Row(260, [line(WIDTH - 4000, SLOT, align='l') if left else gap(WIDTH - 4000), gap(4000)]),  # b+5
        Row(200, [caption(WIDTH - 4000, '(структурное подразделение)' if left else ''), gap(4000)]),  # b+6
        empty(100),                                                                               # b+7
    ]
    if right:
        rows.append(Row(440, [gap(WIDTH - 5600), box(1400, 'Номер документа', size=14),
                              box(1400, 'Дата составления', size=14), box(1400, 'Отчетный период с', size=14),
                              box(1400, 'по', size=14)]))                                         # b+8
        rows.append(document_box('РАСЧЕТНАЯ ВЕДОМОСТЬ', 'T-51', True))                            # b+9
    else:
        rows.append(empty(40))                                                                    # b+8 (unused)
        rows.append(Row(420, [text(WIDTH, 'РАСЧЕТНАЯ ВЕДОМОСТЬ', align='c', size=24, bold=True)]))  # b+9
    rows.append(page_line(3 if part == 'both' else 0))                                            # b+10
    rows.append(table.header())                                                                   # b+11
    rows.append(table.titles(False, right and table.deductions))                                  # b+12
    rows.append(table.titles(left and table.accruals, False))                                     # b+13
    rows.append(numbers_row(table.widths()))                                                      # b+14
    rows.append(employee_row(table, 't51'))                                                       # b+15
    rows.append(totals_row(table, money_size=12))                                                 # b+16
    rows.append(empty(200))                                                                       # b+17
    rows.append(Row(300, [text(2400, 'Расчет произвел'), text(1400, SLOT if right else ''),
                          line(1800, ''), gap(200), line(3000, SLOT if right else '', align='l')]))  # b+18
    return rows


def t51_rows(album):
    if album == 1:
        return {n: r for n, r in enumerate(t51_part(1, 'both'))} | {19: empty(100)}
    rows = {n: r for n, r in enumerate(t51_part(2, 'left'))}
    rows |= {19 + n: r for n, r in enumerate(t51_part(2, 'right'))}
    rows[39] = Row(236, [gap(WIDTH)])
    return rows


# ---------------------------------------------------------------- form T-49

def t49_part(album, part):
    """Rows b+0 to b+33 of one part."""
    left, right = part in ('both', 'left'), part in ('both', 'right')
    table = t49_tables(album)[0 if part in ('both', 'left') else 1]
    L = (lambda *cells: list(cells)) if left else (lambda *cells: [Cell(sum(c.width for c in cells))])
    rows = [
        Row(200, [text(WIDTH, 'Унифицированная форма № Т-49', align='r', size=14)]),            # b+0
        Row(200, [text(WIDTH, 'Утверждена постановлением Госкомстата России от 05.01.2004 № 1',
                       align='r', size=14)]),                                                    # b+1
        Row(260, [gap(WIDTH - 1400), box(1400, 'Код', size=16)]),                                 # b+2
        Row(280, L(line(WIDTH - 4000, SLOT, align='l'), text(2600, 'Форма по ОКУД 0301009 / по ОКПО ',
                                                           align='r', size=16), box(1400, SLOT))),  # b+3
        Row(200, [caption(WIDTH - 4000, '(наименование организации)'), gap(4000)]),             # b+4
        Row(260, L(line(WIDTH - 4000, SLOT, align='l'), gap(4000))),                              # b+5
        Row(200, [caption(WIDTH - 4000, '(структурное подразделение)'), gap(4000)]),             # b+6
        empty(80),                                                                                # b+7
        Row(280, L(text(3200, 'В кассу для оплаты в срок с'), line(700, SLOT), line(1500, SLOT),
                   line(600, SLOT), text(500, ' по', align='c'), line(700, SLOT), line(1500, SLOT),
                   line(600, SLOT), gap(WIDTH - 9300))),                                          # b+8
        Row(280, [text(WIDTH - 2000, 'в сумме'), line(2000, SLOT if album == 1 else '')]),        # b+9
        Row(180, [caption(WIDTH, '(прописью)')]),                                                 # b+10
        Row(280, L(line(5000, SLOT, align='l'), text(700, ' руб. '), line(600, SLOT), text(700, ' коп. ('),
                   line(1800, SLOT), text(700, ' руб. '), line(600, SLOT), text(700, ' коп.)'),
                   gap(WIDTH - 10800))),                                                          # b+11
        empty(100),                                                                               # b+12
        Row(280, L(text(2600, 'Руководитель организации'), line(2600, SLOT), gap(200), line(1600, ''),
                   gap(200), line(3400, SLOT, align='l'), gap(WIDTH - 10600))),                   # b+13
        Row(160, [gap(2600), caption(2600, '(должность)'), gap(200), caption(1600, '(личная подпись)'),
                  gap(200), caption(3400, '(расшифровка подписи)'), gap(WIDTH - 10600)]),         # b+14
        Row(280, L(text(2600, 'Главный бухгалтер'), line(1600, ''), gap(200), line(3400, SLOT, align='l'),
                   gap(WIDTH - 7800))),                                                           # b+15
        Row(160, [gap(2600), caption(1600, '(личная подпись)'), gap(200), caption(3400, '(расшифровка подписи)'),
                  gap(WIDTH - 7800)]),                                                            # b+16
        Row(280, L(text(200, '«', align='r'), line(450, SLOT), text(200, '»'), line(1500, SLOT),
                   text(300, '20', align='r'), line(350, SLOT), text(300, 'г.'), gap(WIDTH - 3300))),  # b+17
        document_box_heads()[0],                                                                  # b+18
        document_box_heads()[1],                                                                  # b+19
    ]
    rows.append(document_box('РАСЧЕТНО-ПЛАТЕЖНАЯ ВЕДОМОСТЬ', 'T-49', right))                       # b+20
    rows.append(page_line(3 if part == 'both' else 0))                                            # b+21
    rows.append(table.header())                                                                   # b+22
    rows.append(table.titles(False, right and table.deductions))                                  # b+23
    rows.append(table.titles(left and table.accruals, False))                                     # b+24
    rows.append(numbers_row(table.widths()))                                                      # b+25
    rows.append(employee_row(table, 't49'))                                                       # b+26
    rows.append(totals_row(table))                                                                # b+27
    rows.append(empty(160))                                                                       # b+28
    rows.append(Row(260, [text(WIDTH, 'По настоящей платежной ведомости выплачена сумма ______________ '
                                      'руб. ___ коп. и депонирована сумма ______________ руб. ___ коп.')]))  # b+29
    rows.append(Row(280, [text(2600, 'Выплату произвел'), line(2600, SLOT if right else ''), gap(200),
                          line(1600, ''), gap(200), line(3400, SLOT if right else '', align='l'),
                          gap(WIDTH - 10600)]))                                                   # b+30
    rows.append(Row(160, [gap(2600), caption(2600, '(должность)'), gap(200), caption(1600, '(личная подпись)'),
                          gap(200), caption(3400, '(расшифровка подписи)'), gap(WIDTH - 10600)]))  # b+31
    checked = album == 2 and part == 'right'
    rows.append(Row(280, [text(2600, 'Проверил бухгалтер'), line(1600, ''), gap(200),
                          line(3400, SLOT if checked else '', align='l'), gap(WIDTH - 7800)]))   # b+32
    rows.append(Row(160, [gap(2600), caption(1600, '(личная подпись)'), gap(200),
                          caption(3400, '(расшифровка подписи)'), gap(WIDTH - 7800)]))            # b+33
    return rows


def t49_rows(album):
    if album == 1:
        rows = {n: r for n, r in enumerate(t49_part(1, 'both'))}
        rows[34] = Row(280, [text(4400, 'Расходный кассовый ордер № ____ от «__» ________ 20__ г.'),
                             gap(400), text(1800, 'Бухгалтер'), line(3400, SLOT, align='l'),
                             gap(WIDTH - 10000)])
        rows[35] = empty(100)
        rows[36] = empty(100)
        rows[37] = empty(100)
        return rows
    rows = {n: r for n, r in enumerate(t49_part(2, 'left'))}
    rows |= {34 + n: r for n, r in enumerate(t49_part(2, 'right'))}
    rows[68] = Row(236, [gap(WIDTH)])
    return rows


# ---------------------------------------------------------------- form 0504401

BUDGET_PERSON = [(400, 'Номер по порядку'), (600, 'Табельный номер'), (1500, 'Должность')]
BUDGET_TAIL = [(1000, 'Сумма к выплате'), (600, 'Отметка'), (1700, 'Фамилия, инициалы')]


def budget_widths():
    fixed = sum(w for w, _ in BUDGET_PERSON) + sum(w for w, _ in BUDGET_TAIL)
    # accruals 1-5, days, 6, 7, total; deductions 1-5, total
    money = spread(WIDTH - fixed, 5 + 1 + 2 + 1 + 5 + 1)
    return [w for w, _ in BUDGET_PERSON] + money + [w for w, _ in BUDGET_TAIL]


def budget_rows():
    widths = budget_widths()
    money = widths[3:-3]
    acc_width, ded_width = sum(money[:9]), sum(money[9:])
    code_left = WIDTH - 1400 - 2800
    rows = {
        0: Row(280, [text(code_left, SLOT, size=14), text(2800, 'Форма по ОКУД ', align='r', size=16),
                     box(1400, '0504401', size=16, bold=True)]),
        1: Row(340, [text(2800, 'РАСЧЕТНО-ПЛАТЕЖНАЯ ВЕДОМОСТЬ', size=18, bold=True), text(300, 'с «', align='r'),
                     line(400, SLOT), text(150, '»'), line(1200, SLOT), text(300, '20', align='r'),
                     line(300, SLOT), text(700, 'г. по «', align='r'), line(400, SLOT), text(150, '»'),
                     line(1200, SLOT), text(300, '20', align='r'), line(300, SLOT), text(700, 'г. за', align='r'),
                     line(1200, SLOT), text(300, '20', align='r'), line(300, SLOT), text(300, 'г.'),
                     gap(WIDTH - 11300)]),
        2: empty(80),
        3: Row(280, [gap(code_left), text(2800, 'Дата / по ОКПО ', align='r', size=16), box(700, SLOT, size=16),
                     box(700, SLOT, size=16)]),
        4: Row(280, [text(2400, 'Учреждение'), line(code_left - 2400, SLOT, align='l'),
                     text(2800, 'Глава по БК ', align='r', size=16), box(1400, SLOT, size=16)]),
        5: Row(280, [text(2400, 'Руководитель'), line(4600, SLOT, align='l'), text(2500, 'Подразделение',
                                                                              align='r'),
                     line(code_left - 9500, SLOT, align='l'), gap(2800), box(1400, '', size=16)]),
        6: Row(160, [gap(2400), caption(4600, '(фамилия, инициалы)'), gap(WIDTH - 7000)]),
        7: Row(280, [text(2400, 'Главный бухгалтер'), line(4600, SLOT, align='l'), gap(code_left - 7000),
                     text(2800, 'по ОКЕИ ', align='r', size=16), box(1400, '383', size=16)]),
        8: Row(160, [gap(2400), caption(4600, '(фамилия, инициалы)'), gap(WIDTH - 7000)]),
        9: Row(260, [text(2400, 'Единица измерения: руб.'), text(2000, SLOT), text(2000, SLOT), text(2000, SLOT),
                     text(2000, SLOT), gap(WIDTH - 10400)]),
        10: Row(240, [text(1800, SLOT, size=14, italic=True), text(300, SLOT, size=14, italic=True),
                      text(600, SLOT, size=14, italic=True), gap(WIDTH - 2700)]),
        11: group_header([(w, words) for w, words in BUDGET_PERSON] +
                         [(acc_width, 'Начислено, руб.'), (ded_width, 'Удержано, руб.')] + BUDGET_TAIL),
        12: Row(700, [box(w, '', size=12) for w in widths[:3]] +
                [box(money[i], SLOT, size=12) for i in range(5)] + [box(money[5], 'дни', size=12)] +
                [box(money[6], SLOT, size=12), box(money[7], SLOT, size=12), box(money[8], 'всего', size=12)] +
                [box(money[9 + i], SLOT, size=12) for i in range(5)] + [box(money[14], 'всего', size=12)] +
                [box(w, '', size=12) for w in widths[-3:]]),
        13: numbers_row(widths),
        14: empty(20),
        15: values_row(widths, ['c', 'c', 'l'] + ['r'] * len(money) + ['r', 'c', 'l']),
        16: Row(260, [box(sum(widths[:-3]), 'Итого к выплате', align='r', bold=True, size=14),
                      box(widths[-3], SLOT, align='r', bold=True, size=14), box(widths[-2] + widths[-1], '')]),
        17: empty(160),
        18: Row(280, [text(3200, 'По настоящей ведомости выплачено'), line(1600, SLOT), text(1200, ' руб., итого'),
                      line(1600, SLOT), text(1700, ' руб.; к оплате'), line(1600, SLOT), text(600, ' руб.'),
                      gap(WIDTH - 11500)]),
        19: empty(120),
        20: Row(280, [text(1600, 'Исполнитель'), text(1400, SLOT), line(3000, SLOT, align='l'), gap(400),
                      text(1600, 'Выплату произвел'), line(2200, SLOT), gap(200), line(3000, SLOT, align='l'),
                      gap(WIDTH - 13400)]),
        21: Row(160, [gap(3000), caption(3000, '(расшифровка подписи)'), gap(2000), caption(2200, '(должность)'),
                      gap(200), caption(3000, '(расшифровка подписи)'), gap(WIDTH - 13400)]),
        22: empty(120),
        23: Row(280, [text(3400, 'Расходный кассовый ордер №'), line(1000, SLOT), text(400, ' от', align='c'),
                      line(1600, SLOT), gap(600), text(1800, 'Кассир'), line(3000, SLOT, align='l'),
                      gap(WIDTH - 11800)]),
        24: empty(100),
        25: empty(100),
    }
    return rows


# ---------------------------------------------------------------- RTF output

def write_template(path, title, rows, page_slot):
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % ps.rtf_text(title),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d\\landscape \\fet0\\sectd \\sbknone\\lndscpsxn'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, MARGIN, MARGIN, MARGIN, MARGIN,
              PAGE_WIDTH, PAGE_HEIGHT, MARGIN, MARGIN, MARGIN, MARGIN)]
    counter = [0]
    # Every copy of the page begins a new sheet; album 1 keeps a value there.
    slot = ''
    if page_slot:
        slot = '{\\*\\bkmkstart par0}{\\*\\bkmkend par0}'
        counter[0] = 1
    out.append('\\pard\\plain \\pagebb\\ql\\f0\\fs2 {\\*\\bkmkstart page0}%s{\\par }\n' % slot)
    # A hair-thin row outside the regions: the first region must follow a row end.
    out.append(ps.write_row(Row(20, [Cell(WIDTH, size=2)]), '', counter))
    previous = None
    for number in sorted(rows):
        assert all(c.width > 0 for c in rows[number].cells), '%s: row%d has a cell without width' % (path, number)
        opening = '{\\*\\bkmkstart row%d}' % number
        if previous is not None:
            opening += '{\\*\\bkmkend row%d}' % previous
        out.append(ps.write_row(rows[number], opening, counter))
        previous = number
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend row%d}{\\par }\n' % previous)
    out.append('\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n')
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: %d rows, %d value slots' % (path, len(rows), counter[0]))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon')
    write_template(os.path.join(folder, 't-51-albom1.rtf'), 'Расчетная ведомость (форма Т-51)', t51_rows(1), True)
    write_template(os.path.join(folder, 't-51-albom2.rtf'), 'Расчетная ведомость (форма Т-51, две части)',
                   t51_rows(2), False)
    write_template(os.path.join(folder, 't-49-albom1.rtf'), 'Расчетно-платежная ведомость (форма Т-49)',
                   t49_rows(1), True)
    write_template(os.path.join(folder, 't-49-albom2.rtf'),
                   'Расчетно-платежная ведомость (форма Т-49, две части)', t49_rows(2), False)
    write_template(os.path.join(folder, 'rpv-budg-okud0504401.rtf'),
                   'Расчетно-платежная ведомость (форма 0504401)', budget_rows(), False)


if __name__ == '__main__':
    main()
