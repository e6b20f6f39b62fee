#!/usr/bin/env python3
"""Writes data/Shablon/avans-fss4-2010.rtf, the settlement statement with the
social insurance fund (form 4-FSS as it stood for 2010), in the shape that
print::CTree reads (see src/print/CTree.h):

  nine page regions "page0" ... "page8", each its own section starting a new
  sheet: the title sheet and the sheets 02 to 09; value slots "parK" numbered
  through the file in the order in which the form's writer
  (src/reports/social/SocialInsurance2010Form.cpp) adds its values.

Every sheet after the title starts with the same head: the registration
number (ten cells), the sheet number (two cells) and the additional code (ten
cells).

Run from the project folder after changing a layout:
    python3 tools/make_fss4_2010_template.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pay_statement_templates import (  # noqa: E402
    Cell, Row, SLOT, WIDTH, PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM,
    rtf_text, text, line, box, gap)
from make_fss4_2011_template import (  # noqa: E402
    CELL, LABEL, cells, hidden, title_row, note_row, table_head, table_line, write_page)

# The number of values the writer adds to each page.
EXPECTED = [72, 106, 78, 59, 33, 77, 22, 80, 48]


def sheet_head():
    """Registration number, sheet number, additional code."""
    return [
        Row(300, [text(3100, 'Регистрационный номер страхователя', size=16)] + cells(10)
            + [text(1500, 'Стр.', align='r', size=16)] + cells(2)),
        Row(300, [text(3100, 'Дополнительный код', size=16)] + cells(10)),
        Row(120, [gap(WIDTH)]),
    ]


def spacer(height=160):
    return Row(height, [gap(WIDTH)])


# ---------------------------------------------------------------- page0, title

def title_page():
    return [
        Row(220, [text(WIDTH, 'Приложение № 1 к приказу Министерства здравоохранения и социального развития '
                              'Российской Федерации от 06.11.2009 № 871н', align='r', size=14)]),
        Row(300, [text(WIDTH, 'Форма 4 - ФСС', align='r', size=22, bold=True)]),
        title_row('РАСЧЕТНАЯ ВЕДОМОСТЬ'),
        Row(560, [text(WIDTH, 'по средствам Фонда социального страхования Российской Федерации '
                              '(по обязательному социальному страхованию на случай временной нетрудоспособности '
                              'и в связи с материнством и по обязательному социальному страхованию от несчастных '
                              'случаев на производстве и профессиональных заболеваний)', align='c', size=18,
                       bold=True)]),
        spacer(),
        Row(360, [line(WIDTH, SLOT, align='l', size=20)]),
        Row(220, [Cell(WIDTH, '(наименование страхователя)', align='c', size=13, valign='t')]),
        spacer(),
        Row(320, [text(3900, 'Регистрационный номер страхователя', size=16)] + cells(10)),
        Row(320, [text(3900, 'Код подчиненности', size=16)] + cells(5)),
        Row(320, [text(3900, 'Дополнительный код', size=16)] + cells(10)),
        Row(320, [text(3900, 'ИНН', size=16)] + cells(12)),
        Row(320, [text(3900, 'КПП', size=16)] + cells(9)),
        Row(320, [text(3900, 'ОГРН', size=16)] + cells(15)),
        spacer(),
        Row(320, [text(LABEL, 'Код по ОКОПФ', size=16), box(900, SLOT), text(1700, 'Код по ОКАТО', align='r',
                                                                               size=16), box(2000, SLOT)]),
        Row(320, [text(LABEL, 'Код по ОКПО', size=16), box(1800, SLOT), text(1700, 'Код по ОКФС', align='r',
                                                                              size=16), box(900, SLOT)]),
        Row(320, [text(LABEL, 'Код по ОКВЭД', size=16), box(1800, SLOT)]),
        spacer(),
        Row(320, [text(3900, 'Отчетный период (код)', size=16), box(CELL * 2, SLOT),
                  text(2000, 'Календарный год', align='r', size=16)] + cells(4)),
        spacer(400),
        Row(300, [text(WIDTH, 'Расчетная ведомость представлена на ____ страницах с приложением подтверждающих '
                              'документов или их копий на ____ листах', size=16)]),
    ]


# ---------------------------------------------------------------- settlements

LABEL_WIDTH, VALUE_WIDTH = 6000, 3600


def settlement(label, code, *values, height=300):
    width = VALUE_WIDTH // len(values) if values else VALUE_WIDTH
    return table_line(label, code, list(values), LABEL_WIDTH, width, height=height, size=15)


def month_rows(count=3):
    """Three rows of a month label (a value) and the month's amount."""
    return [table_line('', '', [SLOT, SLOT], LABEL_WIDTH, VALUE_WIDTH // 2, size=15) for _ in range(count)]


def empty_months(label):
    """A line whose eight cells the form leaves empty."""
    return table_line(label, '', [SLOT] * 8, LABEL_WIDTH, VALUE_WIDTH // 8, size=12)


def section1_page():
    rows = sheet_head() + [
        title_row('Раздел I. Расчет по начисленным, уплаченным страховым взносам на обязательное социальное '
                  'страхование на случай временной нетрудоспособности и в связи с материнством и расходам на '
                  'выплату страхового обеспечения', size=18, height=700),
        Row(320, [text(3000, 'Код тарифа', size=16)] + cells(3)),
    ]
    for words in ['Среднесписочная численность работников', 'из них: женщин', 'работающих инвалидов',
                  'работников, занятых на работах с вредными и (или) опасными производственными факторами']:
        rows.append(Row(300, [text(WIDTH - 1500, words, size=16), box(1500, SLOT)]))
    rows += [
        spacer(120),
        title_row('Таблица 1. Расчеты по обязательному социальному страхованию на случай временной '
                  'нетрудоспособности и в связи с материнством', size=16, height=480),
        note_row('(руб. коп.)', align='r'),
        table_head([(LABEL_WIDTH, 'Наименование показателя'), (600, 'Код стр.'), (VALUE_WIDTH, 'Сумма')],
                   height=300),
        settlement('Начислено страховых взносов: с начала расчетного периода', '2', SLOT),
        settlement('   за предыдущие месяцы / за последние три месяца', '', SLOT, SLOT),
    ] + month_rows() + [
        settlement('Начислено страховых взносов по актам проверок', '3', SLOT),
        empty_months('   в том числе за последние три месяца'),
        settlement('Не принято к зачету расходов / в т.ч. по актам проверок', '4', SLOT, SLOT),
        empty_months('   в том числе за последние три месяца'),
        settlement('Доначислено страховых взносов', '5', SLOT),
        empty_months('   в том числе за последние три месяца'),
        settlement('Получено от территориального органа Фонда в возмещение расходов', '6', SLOT),
        settlement('Итого (стр. 1 + 2 + 3 + 4 + 5 + 6)', '7', SLOT),
        settlement('Задолженность за территориальным органом Фонда на конец отчетного периода', '8', SLOT,
                   height=400),
        settlement('Задолженность за территориальным органом Фонда на начало расчетного периода', '9', SLOT,
                   height=400),
        settlement('   в том числе: за счет превышения расходов / за счет переплаты страховых взносов', '',
                   SLOT, SLOT, height=400),
        settlement('Задолженность за страхователем на начало расчетного периода', '1', SLOT),
        settlement('Возмещено излишне уплаченных страховых взносов', '10', SLOT),
        settlement('Израсходовано на цели обязательного социального страхования: с начала периода', '11', SLOT,
                   height=400),
        settlement('   за предыдущие месяцы / за последние три месяца', '', SLOT, SLOT),
    ] + month_rows() + [
        settlement('Перечислено страхователем: всего', '12', SLOT),
        table_line('   на начало отчетного периода / за последние три месяца', '', [SLOT, SLOT], LABEL_WIDTH,
                   VALUE_WIDTH // 2 - 60, size=15),
    ]
    rows[-1].cells.append(hidden(1))
    for number in range(1, 6):
        rows.append(table_line('   платежное поручение %d: дата / номер / сумма' % number, '', [SLOT, SLOT, SLOT],
                               LABEL_WIDTH, VALUE_WIDTH // 3, size=15))
    rows += [
        settlement('Списанная сумма задолженности страхователя', '13', SLOT),
        settlement('Итого (стр. 11 + 12 + 13)', '14', SLOT),
        settlement('Задолженность за страхователем на конец отчетного периода', '15', SLOT),
        settlement('   в том числе недоимка', '16', SLOT),
    ]
    return rows


# ---------------------------------------------------------------- table 3

BENEFIT_LABEL, BENEFIT_VALUE = 4300, 1320


def benefit(label, code, slots, skip=0, height=400):
    values = [''] * skip + [SLOT] * slots
    values += [''] * (4 - len(values))
    return table_line(label, code, values, BENEFIT_LABEL, BENEFIT_VALUE, height=height, size=15)


def benefit_table():
    return [
        table_head([(BENEFIT_LABEL, 'Наименование показателя'), (600, 'Код стр.'),
                    (BENEFIT_VALUE, 'Число случаев (получателей)'),
                    (BENEFIT_VALUE, 'Число дней (выплат, пособий)'), (BENEFIT_VALUE, 'Сумма расходов'),
                    (BENEFIT_VALUE, 'из них за счет средств федерального бюджета')], height=900),
        benefit('Пособия по временной нетрудоспособности', '1', 4),
        benefit('   в том числе работающим по совместительству', '2', 4),
        benefit('Пособие по беременности и родам', '3', 3, skip=1),
        benefit('   в том числе работающим по совместительству', '4', 4),
        benefit('Единовременное пособие при рождении ребенка (число, сумма); женщинам, вставшим на учет в '
                'ранние сроки беременности (число, сумма)', '5', 4, height=620),
        benefit('Ежемесячное пособие по уходу за ребенком, всего', '6', 4),
        benefit('   в том числе работающим на полную ставку', '7', 4),
        benefit('      по уходу за первым ребенком', '8', 4),
        benefit('      по уходу за вторым и последующими детьми', '9', 4),
        benefit('   работающим по совместительству (на неполную ставку)', '10', 4),
        benefit('      по уходу за первым ребенком', '11', 4),
        benefit('      по уходу за вторым и последующими детьми', '12', 4),
        benefit('Оплата дополнительных выходных дней для ухода за детьми-инвалидами', '13', 3),
        benefit('Социальное пособие на погребение', '14', 3),
        benefit('ИТОГО', '15', 2, skip=1),
    ]


def benefits_page():
    return sheet_head() + [
        title_row('Таблица 3. Расходы по обязательному социальному страхованию на случай временной '
                  'нетрудоспособности и в связи с материнством', size=18, height=560),
    ] + benefit_table() + [
        spacer(200),
        Row(320, [text(WIDTH - 1500, 'Справочно: число случаев, оплаченных из средств федерального бюджета',
                       size=16), box(1500, SLOT)]),
    ]


# ---------------------------------------------------------------- the base

BASE_LABEL, BASE_VALUE = 2605, 1520


def base_page():
    rows = sheet_head() + [
        title_row('Таблица 2. База для начисления страховых взносов', size=18, height=320),
        table_head([(BASE_LABEL, 'Период'),
                    (BASE_VALUE, 'Сумма выплат и иных вознаграждений'),
                    (BASE_VALUE, 'Не подлежит обложению страховыми взносами'),
                    (BASE_VALUE, 'Выплаты в пользу работников-инвалидов'),
                    (BASE_VALUE, 'Превышает предельную величину базы'),
                    (BASE_VALUE, 'База для начисления страховых взносов')], height=900, size=13),
    ]
    for label in ['С начала расчетного периода', 'За последние три месяца', '   1 месяц', '   2 месяц',
                  '   3 месяц']:
        rows.append(Row(340, [box(BASE_LABEL, label, align='l', size=15)]
                        + [box(BASE_VALUE, SLOT, align='r', size=15) for _ in range(5)]))
    rows += [
        spacer(240),
        title_row('Справочно: выплаты, не относящиеся к объекту обложения', size=16, height=320),
        table_head([(BASE_LABEL, 'Вид выплат'), (1900, 'С начала периода'), (1900, '1 месяц'),
                    (1900, '2 месяц'), (1900, '3 месяц')], height=300, size=13),
    ]
    for label in ['По договорам гражданско-правового характера', 'По авторским договорам', 'Иные выплаты']:
        rows.append(Row(340, [box(BASE_LABEL, label, align='l', size=14)]
                        + [box(1900, SLOT, align='r', size=15) for _ in range(4)]))
    return rows


# ---------------------------------------------------------------- simplified taxation

def simplified_page():
    rows = sheet_head() + [
        title_row('Сведения страхователей, применяющих упрощенную систему налогообложения', size=18, height=320),
        Row(320, [text(3000, 'Код тарифа', size=16)] + cells(3)),
    ]
    for label in ['Среднесписочная численность работников', '   из них: женщин',
                  'Сумма выплат и иных вознаграждений в пользу работников',
                  'Начислено страховых взносов', 'Уплачено страховых взносов',
                  'Задолженность на конец отчетного периода',
                  'Расходы на выплату пособий за счет средств федерального бюджета']:
        rows.append(Row(320, [box(WIDTH - 2200, label, align='l', size=15), box(2200, SLOT, align='r', size=15)]))
    rows.append(Row(320, [text(WIDTH - 2200, 'Примечание', size=15), line(2200, SLOT)]))
    return rows


def simplified_benefits_page():
    return sheet_head() + [
        title_row('Таблица 3.1. Расходы на выплату пособий страхователями, применяющими упрощенную систему '
                  'налогообложения', size=18, height=560),
    ] + benefit_table()


def unfilled_page():
    return sheet_head() + [
        title_row('Таблица 4. Расходы, произведенные сверх установленных норм', size=18, height=320),
        note_row('Страхователем не заполняется.', align='c', size=16, height=320),
    ]


# ---------------------------------------------------------------- section II

def injury_page():
    rows = sheet_head() + [
        title_row('Раздел II. Расчет по начисленным, уплаченным страховым взносам на обязательное социальное '
                  'страхование от несчастных случаев на производстве и профессиональных заболеваний и расходам '
                  'на выплату страхового обеспечения', size=18, height=700),
        table_head([(LABEL_WIDTH, 'Показатель'), (600, 'Код стр.'), (VALUE_WIDTH, 'Значение')], height=300),
        settlement('Среднесписочная численность работников / из них работающих инвалидов / на вредных работах',
                   '1', SLOT, SLOT, SLOT, height=400),
        settlement('Сумма выплат, на которые начисляются страховые взносы / из них в пользу работающих '
                   'инвалидов', '2', SLOT, SLOT, height=400),
    ]
    for _ in range(3):
        rows.append(table_line('', '', [SLOT, SLOT, SLOT], LABEL_WIDTH, VALUE_WIDTH // 3, size=15))
    rows += [
        settlement('Начислено по тарифу / тариф, % / скидка (надбавка)', '3', SLOT, SLOT, SLOT),
        spacer(120),
        title_row('Таблица 7. Расчеты по обязательному социальному страхованию от несчастных случаев на '
                  'производстве и профессиональных заболеваний', size=16, height=480),
        settlement('Задолженность за страхователем на начало расчетного периода', '1', SLOT),
        settlement('Начислено страховых взносов: с начала расчетного периода', '2', SLOT),
        settlement('   за предыдущие месяцы', '', SLOT),
    ] + month_rows() + [
        settlement('Начислено страховых взносов по актам проверок', '3', SLOT),
        settlement('Не принято к зачету расходов', '4', SLOT),
        settlement('Получено от территориального органа Фонда', '5', SLOT),
        settlement('Итого (стр. 1 + 2 + 3 + 4 + 5)', '6', SLOT),
        settlement('Задолженность за территориальным органом Фонда на конец отчетного периода', '7', SLOT),
        settlement('Задолженность за территориальным органом Фонда на начало расчетного периода', '8', SLOT),
        settlement('Израсходовано на выплату страхового обеспечения: с начала периода', '9', SLOT),
        settlement('   за предыдущие месяцы', '', SLOT),
    ] + month_rows() + [
        settlement('Перечислено страхователем: всего / на начало периода / за последние три месяца', '10',
                   SLOT, SLOT, SLOT),
    ]
    for number in range(1, 7):
        rows.append(table_line('   платежное поручение %d: дата, номер / сумма' % number, '', [SLOT, SLOT],
                               LABEL_WIDTH, VALUE_WIDTH // 2, size=15))
    rows += [
        settlement('Списанная сумма задолженности страхователя', '11', SLOT),
        settlement('Итого (стр. 8 + 9 + 10 + 11)', '12', SLOT),
        settlement('Задолженность за страхователем на конец отчетного периода', '13', SLOT),
    ]
    return rows


def closing_page():
    rows = sheet_head() + [
        title_row('Таблица 8. Расходы на обязательное социальное страхование от несчастных случаев на '
                  'производстве и профессиональных заболеваний', size=18, height=560),
        table_head([(LABEL_WIDTH, 'Наименование показателя'), (600, 'Код стр.'), (1800, 'Число дней'),
                    (1800, 'Сумма')], height=300),
        table_line('Пособия по временной нетрудоспособности в связи с несчастным случаем на производстве',
                   '1', [SLOT, SLOT], LABEL_WIDTH, 1800, height=400, size=15),
        table_line('Пособия по временной нетрудоспособности в связи с профессиональным заболеванием', '2',
                   [SLOT, SLOT], LABEL_WIDTH, 1800, height=400, size=15),
        table_line('ИТОГО', '3', ['', SLOT], LABEL_WIDTH, 1800, size=15),
        spacer(120),
        title_row('Таблица 9. Численность пострадавших (застрахованных) в связи со страховыми случаями',
                  size=16, height=480),
    ]
    for label in ['Несчастные случаи на производстве', 'Профессиональные заболевания', 'Иные случаи']:
        rows.append(table_line(label, '', [SLOT] * 4, LABEL_WIDTH, 900, size=15))
    rows += [
        settlement('Численность пострадавших (застрахованных) в связи со страховыми случаями, всего', '4', SLOT,
                   height=400),
        settlement('   из них получивших пособия / в том числе по несчастным случаям на производстве', '5', SLOT,
                   SLOT, height=400),
        spacer(300),
        Row(360, [text(2600, 'Руководитель организации', size=16), line(3000, ''), gap(200),
                  line(4400, SLOT, size=16)]),
        Row(360, [text(2600, 'Главный бухгалтер', size=16), line(3000, ''), gap(200), line(4400, SLOT, size=16)]),
        Row(360, [text(2600, 'Исполнитель', size=16), line(3000, ''), gap(200), line(4400, SLOT, size=16)]),
        spacer(200),
        Row(360, [text(2600, 'Дата', size=16), text(200, '«', align='r'), line(450, SLOT), text(200, '»'),
                  line(1500, SLOT), text(300, '20', align='r'), line(350, SLOT), text(300, 'г.')]),
    ]
    return rows


# ---------------------------------------------------------------- RTF output

def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Shablon', 'avans-fss4-2010.rtf')
    out = ['{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
           '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
           '{\\colortbl;\\red0\\green0\\blue0;}\n'
           '{\\info{\\title %s}}\n' % rtf_text('Расчетная ведомость по средствам ФСС РФ (форма 4-ФСС), 2010'),
           '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d \\fet0\\sectd \\sbknone'
           '\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
           % (PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM,
              PAGE_WIDTH, PAGE_HEIGHT, MARGIN_LEFT, MARGIN_RIGHT, MARGIN_TOP, MARGIN_BOTTOM)]
    counter = [0]
    pages = [title_page(), section1_page(), benefits_page(), base_page(), simplified_page(),
             simplified_benefits_page(), unfilled_page(), injury_page(), closing_page()]
    counts = [write_page(out, number, rows, counter, last=number == len(pages) - 1)
              for number, rows in enumerate(pages)]
    assert counts == EXPECTED, 'value slots per page %s, the writer adds %s' % (counts, EXPECTED)
    with open(path, 'w', encoding='ascii', newline='\r\n') as f:
        f.write(''.join(out))
    print('%s: value slots per page %s, %d in all' % (path, counts, counter[0]))


if __name__ == '__main__':
    main()
