#!/usr/bin/env python3
"""Writes three statutory forms of the report generator into data/Shablon:

  travma-fss-2008.rtf          the report to the social insurance fund on the use
                               of the insurance sums against occupational injuries
  indv-2010.rtf                the individual card of accrued payments and
                               insurance contributions (one page per employee)
  spravka_zarabotok_2goda.rtf  the certificate of the earnings of two years and
                               the current one (one page per employee)

Each is one "page0" region in the shape that print::CTree reads (see
src/print/CTree.h): paragraphs and table rows, value slots "parK" numbered in
file order, in the order in which the writers add their values
(src/reports/social/InjuryReport.cpp, SocialTaxCard.cpp,
EarningsCertificate.cpp). Every copy of the page begins a new sheet.

Run from the project folder after changing a layout:
    python3 tools/make_social_report_templates.py
"""
import os

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


class Form:
    def __init__(self, landscape=False):
        self.landscape = landscape
        self.width = (16838 if landscape else 11906) - 1134 - 850
        self.parts = []
        self.slots = 0
        self.first = True

    def items(self, items):
        out = []
        for item in items:
            if item is SLOT:
                out.append('{\\*\\bkmkstart par%d}{\\*\\bkmkend par%d}' % (self.slots, self.slots))
                self.slots += 1
            else:
                out.append('{%s}' % rtf_text(item))
        return ''.join(out)

    def opening(self):
        if not self.first:
            return ''
        self.first = False
        return '{\\*\\bkmkstart page0}'

    def para(self, *items, align='l', size=20, bold=False, before=0, after=0):
        page = '\\pagebb' if self.first else ''
        opening = self.opening()
        fmt = '\\f0\\fs%d%s' % (size, '\\b' if bold else '')
        self.parts.append('\\pard\\plain %s\\q%s\\sb%d\\sa%d%s %s%s{\\par }\n'
                          % (page, align, before, after, fmt, opening, self.items(items)))

    def row(self, cells, size=18, height=300, borders=True, bold=False):
        """cells: list of (width, [items], align)."""
        if self.first:
            self.para('', size=2)
        total = sum(c[0] for c in cells)
        assert total <= self.width, 'row wider than the page: %d > %d' % (total, self.width)
        out = ['\\trowd \\trgaph40\\trleft0\\trrh%d' % height]
        right = 0
        for width, _, _ in cells:
            if borders:
                out.append('\\clbrdrt\\brdrs\\brdrw10 \\clbrdrl\\brdrs\\brdrw10 '
                           '\\clbrdrb\\brdrs\\brdrw10 \\clbrdrr\\brdrs\\brdrw10 ')
            right += width
            out.append('\\clvertalc\\cellx%d' % right)
        out.append('\n')
        fmt = '\\f0\\fs%d%s' % (size, '\\b' if bold else '')
        for index, (_, items, align) in enumerate(cells):
            last = index == len(cells) - 1
            out.append('\\pard\\plain \\intbl\\q%s%s %s{\\cell }%s\n'
                       % (align, fmt, self.items(items), '{\\row }' if last else ''))
        self.parts.append(''.join(out))

    def write(self, path, title):
        pw, ph = (16838, 11906) if self.landscape else (11906, 16838)
        head = ('{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049'
                '{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}}\n'
                '{\\colortbl;\\red0\\green0\\blue0;}\n'
                '{\\info{\\title %s}}\n' % rtf_text(title) +
                '\\paperw%d\\paperh%d\\margl1134\\margr850\\margt850\\margb850%s \\fet0\\sectd \\sbknone'
                '%s\\pgwsxn%d\\pghsxn%d\\marglsxn1134\\margrsxn850\\margtsxn850\\margbsxn850\n'
                % (pw, ph, '\\landscape' if self.landscape else '', '\\lndscpsxn' if self.landscape else '', pw, ph))
        tail = '\\pard\\plain \\ql\\f0\\fs2 {\\*\\bkmkend page0}{\\par }}\n'
        with open(path, 'w', encoding='ascii', newline='\r\n') as f:
            f.write(head + ''.join(self.parts) + tail)
        print('%s: %d value slots' % (path, self.slots))


def L(width, *items):
    return (width, list(items), 'l')


def C(width, *items):
    return (width, list(items), 'c')


def R(width, *items):
    return (width, list(items), 'r')


# ------------------------------------------------------------ injury report

def injury_form():
    f = Form()
    w = f.width
    f.para('Форма ФСС', align='r', size=16)
    f.para('ОТЧЕТ', align='c', size=24, bold=True, before=120)
    f.para('об использовании сумм страховых взносов на обязательное социальное страхование '
           'от несчастных случаев на производстве и профессиональных заболеваний', align='c', size=22, bold=True)
    f.para('за ', SLOT, ' 20', SLOT, ' г.', align='c', size=22, after=200)
    f.para('Страхователь (наименование, адрес, регистрационный номер в ПФР, код по ОКВЭД):', size=18)
    f.para(SLOT, size=20, after=200)
    f.para('1. Среднесписочная численность работающих, человек', size=20, bold=True, after=60)
    f.row([C(w // 3, 'всего'), C(w // 3, 'в том числе работников категории 1'),
           C(w - 2 * (w // 3), 'работников прочих категорий')], bold=True)
    f.row([C(w // 3, SLOT), C(w // 3, SLOT), C(w - 2 * (w // 3), SLOT)], size=22, height=400)
    f.para('2. Страховые случаи, рабочие места и медицинские осмотры', size=20, bold=True, before=200, after=60)
    six = w // 6
    f.row([C(six, 'Пострадало, всего'), C(six, 'в т.ч. со смертельным исходом'), C(six, 'Рабочих мест, всего'),
           C(six, 'из них аттестовано'), C(six, 'Подлежало медосмотру'), C(w - 5 * six, 'Прошли медосмотр')],
          size=16, height=500, bold=True)
    f.row([C(six, SLOT), C(six, SLOT), C(six, SLOT), C(six, SLOT), C(six, SLOT), C(w - 5 * six, SLOT)], height=400)
    f.para('3. Использование сумм страховых взносов на финансирование предупредительных мер, руб.',
           size=20, bold=True, before=200, after=60)
    first = w - 2 * 1800
    f.row([C(first, 'Наименование мероприятия'), C(1800, 'По плану'), C(1800, 'Фактически')], bold=True)
    for name in ['Проведение аттестации рабочих мест по условиям труда',
                 'Приобретение средств индивидуальной защиты',
                 'Санаторно-курортное лечение работников',
                 'Проведение обязательных медицинских осмотров',
                 'Обучение по охране труда',
                 'Приобретение аптечек для оказания первой помощи',
                 'Приобретение приборов контроля режима труда и отдыха',
                 'Итого']:
        f.row([L(first, name), R(1800, SLOT), R(1800, SLOT)])
    f.para('', before=300)
    f.row([L(2600, 'Руководитель'), L(3400, SLOT), C(1800, ''), L(w - 7800, '')], borders=False, size=20)
    f.row([L(2600, ''), C(3400, '(фамилия, имя, отчество)'), C(1800, '(подпись)'), L(w - 7800, '')],
          borders=False, size=14)
    f.row([L(2600, 'Главный бухгалтер'), L(3400, SLOT), C(1800, ''), L(w - 7800, '')], borders=False, size=20)
    f.row([L(2600, ''), C(3400, '(фамилия, имя, отчество)'), C(1800, '(подпись)'), L(w - 7800, '')],
          borders=False, size=14)
    f.para('Дата:  ', SLOT, ' ', SLOT, ' 20', SLOT, '   М.П.', size=20, before=200)
    f.para('Исполнитель, телефон: ', SLOT, size=20, before=120)
    return f


# ------------------------------------------------------------ social-tax card

CARD_LINES = [
    'Выплаты и иные вознаграждения (база и необлагаемые суммы)',
    'Выплаты по авторским договорам (не заполняется)',
    'Суммы, не подлежащие обложению страховыми взносами',
    'Расходы, принимаемые к вычету (не заполняется)',
    'Выплаты в месяцах инвалидности',
    'Суммы сверх предельной величины базы (463 000 руб.)',
    'База для начисления страховых взносов',
    'База для начисления взносов в ПФР',
    'База для начисления взносов в ФСС РФ',
    'База для начисления взносов в ФФОМС',
    'База для начисления взносов в ТФОМС',
    'Резерв (не заполняется)',
    'Начислено взносов в ПФР',
    'Начислено взносов в ФСС РФ',
    'Начислено взносов в ФФОМС',
    'Начислено взносов в ТФОМС',
]
MONTHS = ['Январь', 'Февраль', 'Март', 'Апрель', 'Май', 'Июнь', 'Июль', 'Август', 'Сентябрь', 'Октябрь',
          'Ноябрь', 'Декабрь']


def card_form():
    f = Form(landscape=True)
    w = f.width
    f.para('ИНДИВИДУАЛЬНАЯ КАРТОЧКА', align='c', size=22, bold=True)
    f.para('учета сумм начисленных выплат и иных вознаграждений и сумм начисленных страховых взносов за ',
           SLOT, ' год.   Лист ', SLOT, align='c', size=20, after=100)
    f.row([L(1500, 'Плательщик'), L(w - 1500 - 4600, SLOT), L(500, 'ИНН'), C(1600, SLOT), L(500, 'КПП'),
           C(1200, SLOT), L(500, 'Код'), C(300, SLOT)], size=16)
    third = (w - 3 * 1200) // 3
    f.row([L(1200, 'Фамилия'), L(third, SLOT), L(1200, 'Имя'), L(third, SLOT), L(1200, 'Отчество'),
           L(w - 3 * 1200 - 2 * third, SLOT)], size=16)
    f.row([L(w - 1500, 'Тариф страховых взносов на страховую часть трудовой пенсии, %'), C(1500, SLOT)], size=16)
    f.row([L(1000, 'СНИЛС'), C(2200, SLOT), L(700, 'ИНН'), C(2000, SLOT), L(1300, 'Гражданство'),
           L(w - 1000 - 2200 - 700 - 2000 - 1300 - 3300, SLOT), L(1700, 'Дата рождения'), C(1600, SLOT)], size=16)
    f.row([L(w - 1500, 'Тариф страховых взносов на накопительную часть трудовой пенсии, %'), C(1500, SLOT)],
          size=16)
    f.row([L(2800, 'Инвалидность:  есть'), C(1100, SLOT), L(600, 'нет'), C(1100, SLOT),
           L(2000, 'Справка МСЭ №'), C(1800, SLOT), L(2200, 'срок действия до'),
           C(w - 2800 - 1100 - 600 - 1100 - 2000 - 1800 - 2200, SLOT)], size=16)
    quarter = (w - 4 * 1000) // 4
    f.row([L(quarter, 'Тариф дополнительный, %'), C(1000, SLOT), L(quarter, 'Тариф в ФФОМС, %'), C(1000, SLOT),
           L(quarter, 'Тариф в ТФОМС, %'), C(1000, SLOT), L(w - 4 * 1000 - 3 * quarter, 'Тариф в ФСС РФ, %'),
           C(1000, SLOT)], size=16)
    f.para('', size=8)
    month = 900
    number = 300
    caption = w - number - 12 * month
    f.row([C(number, '№'), C(caption, 'Показатель, руб.')] + [C(month, m) for m in MONTHS], size=14, bold=True)
    for index, name in enumerate(CARD_LINES):
        f.row([C(number, '%d' % (2 * index + 1)), L(caption, name)] + [R(month, SLOT) for _ in MONTHS],
              size=13, height=200)
        f.row([C(number, '%d' % (2 * index + 2)), L(caption, '   то же нарастающим итогом')] +
              [R(month, SLOT) for _ in MONTHS], size=13, height=200)
    f.para('Ответственное лицо:  ', SLOT, '   ____________ (подпись)', size=18, before=160)
    return f


# ------------------------------------------------------------ earnings certificate

def certificate_form():
    f = Form()
    w = f.width
    f.para('Дата выдачи ', SLOT, align='l', size=20)
    f.para('СПРАВКА № ', SLOT, align='c', size=24, bold=True, before=120)
    f.para('о сумме заработка за два календарных года, предшествующих году прекращения работы (службы, иной '
           'деятельности) или году обращения за справкой о сумме заработка, и текущий календарный год, на '
           'которую были начислены страховые взносы', align='c', size=20, bold=True, after=160)
    f.para('1. Сведения о страхователе', size=20, bold=True, after=60)
    label = 4200
    for name in ['Наименование страхователя', 'Наименование территориального органа ФСС РФ',
                 'Регистрационный номер страхователя', 'Дополнительный код', 'Код подчиненности', 'ИНН', 'КПП',
                 'ОГРН']:
        f.row([L(label, name), L(w - label, SLOT)], size=18)
    f.para('2. Сведения о застрахованном лице', size=20, bold=True, before=160, after=60)
    for name in ['Фамилия, имя, отчество', 'Паспорт: серия', 'номер', 'кем и когда выдан',
                 'Адрес регистрации: индекс', 'страна', 'регион', 'город (населенный пункт)', 'улица', 'дом',
                 'корпус', 'квартира', 'Страховой номер индивидуального лицевого счета']:
        f.row([L(label, name), L(w - label, SLOT)], size=18)
    f.row([L(label, 'Период работы'), C(500, 'с'), C((w - label - 1000) // 2, SLOT), C(500, 'по'),
           C(w - label - 1000 - (w - label - 1000) // 2, SLOT)], size=18)
    f.para('3. Сумма заработка, на которую были начислены страховые взносы', size=20, bold=True,
           before=160, after=60)
    f.row([C(1200, 'Календарный год'), C(1600, 'Сумма, руб.'), C(700, 'коп.'),
           C(w - 3500, 'Сумма прописью')], bold=True)
    for _ in range(3):
        f.row([C(1200, SLOT), R(1600, SLOT), C(700, SLOT), L(w - 3500, SLOT)], height=500)
    f.para('', before=300)
    f.row([L(2600, 'Руководитель'), L(2700, SLOT), L(w - 2600 - 2700 - 1600, SLOT), C(1600, '')],
          borders=False, size=20)
    f.row([L(2600, ''), C(2700, '(должность)'), C(w - 2600 - 2700 - 1600, '(фамилия, имя, отчество)'),
           C(1600, '(подпись)')], borders=False, size=14)
    f.row([L(2600, 'Главный бухгалтер'), L(w - 2600 - 1600, SLOT), C(1600, '')], borders=False, size=20)
    f.row([L(2600, ''), C(w - 2600 - 1600, '(фамилия, имя, отчество)'), C(1600, '(подпись)')], borders=False,
          size=14)
    f.para('М.П.', size=20, before=200)
    return f


def main():
    folder = os.path.join('data', 'Shablon')
    forms = [('travma-fss-2008.rtf', 'Отчет ФСС об использовании сумм от профессиональных травм', injury_form(), 34),
             ('indv-2010.rtf', 'Индивидуальная карточка по страховым взносам', card_form(), 408),
             ('spravka_zarabotok_2goda.rtf', 'Справка о сумме заработка', certificate_form(), 40)]
    for name, title, form, slots in forms:
        assert form.slots == slots, '%s: %d slots, the writer adds %d' % (name, form.slots, slots)
        form.write(os.path.join(folder, name), title)


if __name__ == '__main__':
    main()
