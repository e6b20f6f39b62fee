#include "print/CTree.h"

#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/SavedFile.h"
#include "print/WorkingFolder.h"
#include "values/Messages.h"

#include <QFile>

#include <cstdio>

namespace kalvor::print {
namespace {

// An RTF group's braces, named once (the text of the file is read and
// written through them, never through a lone brace in a literal).
constexpr char kGroupOpening = 0x7B;
constexpr char kGroupClosing = 0x7D;

// A bookmark's RTF destination: "{\*\bkmkstart <name>}" opens it,
// "{\*\bkmkend <name>}" ends it. The words of the template's pages, rows
// and groups follow the destination's opening.
QByteArray destination(const char* word) { return QByteArray(1, kGroupOpening) + "\\*\\" + word + ' '; }

const QByteArray kStartGroup = destination("bkmkstart");
const QByteArray kEndGroup = destination("bkmkend");
const QByteArray kStartPage = kStartGroup + "page";
const QByteArray kEndPage = kEndGroup + "page";
const QByteArray kEndPage0 = kEndGroup + "page0";
const QByteArray kStartRow = kStartGroup + "row";
const QByteArray kEndRow = kEndGroup + "row";
// The ends of a section's and a table row's groups.
const QByteArray kSectionEnd = QByteArrayLiteral("\\sect ") + kGroupClosing;
const QByteArray kRowEnd = QByteArrayLiteral("\\row ") + kGroupClosing;

const char kTemplateFault[] = "Error in file of shablon!!!\n";
const char kOutputFault[] = "\nError save output file, because file alredy open or not disk space!\n";

QByteArray startGroup(const QByteArray& name) { return kStartGroup + name + kGroupClosing; }
QByteArray endGroup(const QByteArray& name) { return kEndGroup + name + kGroupClosing; }

const QByteArray kStartPage0 = startGroup("page0");

// The region number of a bookmark group: every decimal digit of the group
// text, in order.
QByteArray regionNumber(const QByteArray& group)
{
    QByteArray digits;
    for (char c : group)
        if (c >= '0' && c <= '9')
            digits += c;
    return digits;
}

enum BookmarkKind {
    NotBookmark = 0,
    ValueStart = 1,
    ValueEnd = 2,
    RowStart = 3,
    RowEnd = 4,
    PageStart = 5,
    PageEnd = 6
};

BookmarkKind classify(const QByteArray& text)
{
    int base;
    qsizetype skip;
    if (text.startsWith(kStartGroup)) {
        base = 1;
        skip = kStartGroup.size();
    } else if (text.startsWith(kEndGroup)) {
        base = 2;
        skip = kEndGroup.size();
    } else {
        return NotBookmark;
    }
    const QByteArrayView rest = QByteArrayView(text).sliced(skip);
    if (rest.startsWith("par"))
        return BookmarkKind(base);
    if (rest.startsWith("row"))
        return BookmarkKind(base + 2);
    if (rest.startsWith("page"))
        return BookmarkKind(base + 4);
    return NotBookmark;
}

// A value as RTF text: backslash and braces escaped, bytes above ASCII as
// \'xx (the template declares windows-1251), tabs and line ends as RTF
// controls, other control bytes dropped. The group keeps the text apart from
// any control word that stands right before the bookmark.
QByteArray rtfValueText(const QByteArray& bytes)
{
    static const char hex[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(bytes.size() * 2 + 2);
    out += kGroupOpening;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\' || c == kGroupOpening || c == kGroupClosing) {
            out += '\\';
            out += ch;
        } else if (c >= 0x80) {
            out += "\\'";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\n') {
            out += "\\line ";
        } else if (c >= 0x20) {
            out += ch;
        }
    }
    out += kGroupClosing;
    return out;
}

QByteArray valueBytes(const QDomElement& element) { return codepage::toCp1251(element.text()); }

} // namespace

CTree::CTree(const QByteArray& templateName, const QString& outputPath)
    : m_templateName(templateName), m_outputPath(outputPath)
{
    ReadRtf(TemplatePath(codepage::fromCp1251(templateName)));
    CreateDataDocument();
    NormalizeBookmarks();
    MakeMap();
}

CTree::~CTree() = default;

void CTree::ReadRtf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TextErrorWithPath(kMsgOpenFailed, path);
    QByteArray rtf = file.readAll();
    if (rtf.isEmpty() || file.error() != QFileDevice::NoError)
        throw TextError(QStringLiteral("Ошибка при чтении файла %1").arg(path));

    // The document format and the first section become separate nodes, so
    // that "\sectd " begins a node of its own.
    rtf.replace(" \\fet0\\sectd ", " \\fet0{}\\sectd ");

    m_nodes.clear();
    m_nodes.push_back(Node{}); // the root
    auto addNode = [this](const QByteArray& text, int parent) {
        Node node;
        node.parent = parent;
        node.depth = parent == 0 ? 1 : m_nodes[parent].depth + 1;
        node.sequence = static_cast<int>(m_nodes.size());
        node.text = text;
        m_nodes.push_back(std::move(node));
        const int index = static_cast<int>(m_nodes.size()) - 1;
        m_nodes[parent].children.push_back(index);
        return index;
    };

    QByteArray pending;
    int current = 0;
    for (char c : std::as_const(rtf)) {
        if (c == '\r' || c == '\n')
            continue;
        if (c == kGroupOpening) {
            if (!pending.isEmpty()) {
                const int node = addNode(pending, current);
                if (pending.startsWith(kGroupOpening))
                    current = node;
                pending.clear();
            }
            pending += c;
        } else if (c == kGroupClosing) {
            pending += c;
            if (!pending.startsWith(kGroupOpening) && current != 0)
                current = m_nodes[current].parent;
            addNode(pending, current);
            pending.clear();
        } else {
            pending += c;
        }
    }
    // Text after the last brace is not part of the document.
}

void CTree::CreateDataDocument()
{
    m_data = QDomDocument();
    QDomElement root = m_data.createElement(QStringLiteral("docList"));
    m_data.appendChild(root);
    QDomElement typedoc = m_data.createElement(QStringLiteral("typedoc"));
    typedoc.appendChild(m_data.createTextNode(codepage::fromCp1251(m_templateName)));
    root.appendChild(typedoc);
    QDomElement print = m_data.createElement(QStringLiteral("print"));
    print.appendChild(m_data.createTextNode(QStringLiteral("0")));
    root.appendChild(print);
    m_doc = m_data.createElement(QStringLiteral("doc"));
    root.appendChild(m_doc);
    m_current = m_doc;
}

// Moves the bookmark groups so that every region consists of whole RTF units:
// a page begins with its section or paragraph and ends after its section
// break, a row region holds exactly its table rows. A bookmark moves by
// exchanging texts with its neighbour one step at a time; every bookmark is
// moved once.
void CTree::NormalizeBookmarks()
{
    m_text.clear();
    for (size_t i = 1; i < m_nodes.size(); ++i) m_text.append(m_nodes[i].text);

    const qsizetype count = m_text.size();
    std::vector<char> moved(static_cast<size_t>(count), 0);
    auto swap = [&](qsizetype a, qsizetype b) {
        m_text.swapItemsAt(a, b);
        std::swap(moved[static_cast<size_t>(a)], moved[static_cast<size_t>(b)]);
    };
    // Backward until the node before satisfies the test; then, if asked, one
    // step more so that the bookmark stands before that node.
    auto moveBack = [&](qsizetype i, auto test, bool oneMore) {
        while (i > 0 && !test(m_text[i - 1])) {
            swap(i, i - 1);
            --i;
        }
        if (oneMore && i > 0) {
            swap(i, i - 1);
            --i;
        }
        return i;
    };
    // Forward until it has passed the next node that satisfies the test.
    auto movePast = [&](qsizetype i, auto test) {
        while (i + 1 < count && !test(m_text[i + 1])) {
            swap(i, i + 1);
            ++i;
        }
        if (i + 1 < count) {
            swap(i, i + 1);
            ++i;
        }
        return i;
    };

    qsizetype i = 0;
    while (i < count) {
        if (moved[static_cast<size_t>(i)]) {
            ++i;
            continue;
        }
        const QByteArray& t = m_text[i];
        qsizetype to = i;
        if (t.startsWith(kStartPage)) {
            to = moveBack(
                i, [](const QByteArray& s) { return s.startsWith("\\sectd ") || s.startsWith("\\pard\\plain "); },
                true);
        } else if (t.startsWith(kEndPage)) {
            const qsizetype sequence = i + 1;
            if (count - sequence < 11) {
                if (t.startsWith(kEndPage0))
                    to = moveBack(
                        i, [](const QByteArray& s) { return s.startsWith("\\pard"); }, true);
                else
                    to = movePast(i, [](const QByteArray& s) { return s.startsWith("\\par "); });
            } else {
                to = movePast(i, [](const QByteArray& s) { return s.endsWith(kSectionEnd); });
            }
        } else if (t.startsWith(kStartRow) || t.startsWith(kEndRow)) {
            to = moveBack(
                i, [](const QByteArray& s) { return s.endsWith(kRowEnd); }, false);
        } else {
            ++i;
            continue;
        }
        moved[static_cast<size_t>(to)] = 1;
        if (to <= i)
            ++i; // a bookmark moved forward leaves an unvisited node at i
    }
}

void CTree::MakeMap()
{
    m_map.clear();
    int values = 0;
    int lastRowEnd = 0;
    int pageEnds = 0;
    for (const QByteArray& text : std::as_const(m_text)) {
        switch (classify(text)) {
        case ValueStart: ++values; break;
        case PageStart: m_map << "page" + regionNumber(text) << QByteArray::number(values); break;
        case RowStart:
            if (m_map.size() >= 2 && m_map[m_map.size() - 2].startsWith("page"))
                m_map << QByteArray::number(values - 1);
            m_map << "row" + regionNumber(text) << QByteArray::number(values);
            lastRowEnd = 0;
            break;
        case RowEnd:
            m_map << QByteArray::number(values - 1);
            lastRowEnd = values;
            break;
        case PageEnd:
            if (lastRowEnd != values)
                m_map << "page" + QByteArray::number(pageEnds) << QByteArray::number(lastRowEnd)
                      << QByteArray::number(values - 1);
            ++pageEnds;
            break;
        default: break;
        }
    }
}

void CTree::Fault(const QString& diagnostic)
{
    std::fputs(kTemplateFault, stdout);
    std::fflush(stdout);
    if (m_fault.isEmpty())
        m_fault = diagnostic;
}

QDomElement CTree::AddRegion(const QByteArray& name, QDomElement* outNode, QDomElement parent)
{
    const qsizetype at = m_map.indexOf(name);
    if (at < 0 || at + 1 >= m_map.size())
        Fault(QStringLiteral("В шаблоне %1 нет закладки %2")
                  .arg(codepage::fromCp1251(m_templateName), QString::fromLatin1(name)));
    else
        m_valueNumber = m_map[at + 1].toInt();

    QDomElement element = m_data.createElement(QString::fromLatin1(name));
    parent.appendChild(element);
    m_current = element;
    if (outNode)
        *outNode = element;
    return element;
}

QDomElement CTree::NewPage(QDomElement* outNode, const QByteArray& pageName)
{
    m_valueNumber = 0;
    return AddRegion(pageName, outNode, m_doc);
}

QDomElement CTree::NewRow(const QByteArray& rowName, QDomElement* outNode, const QDomElement& pageNode)
{
    return AddRegion(rowName, outNode, pageNode);
}

void CTree::AppendValue(QDomElement node, const QByteArray& text)
{
    QDomElement value = m_data.createElement(QStringLiteral("par%1").arg(m_valueNumber));
    node.appendChild(value);
    node.lastChild().appendChild(m_data.createTextNode(codepage::fromCp1251(text)));
    m_current = value;
    ++m_valueNumber;
}

int CTree::AddValue(const QDomElement& node, std::initializer_list<Value> texts)
{
    for (const Value& v : texts) AppendValue(node, v.Bytes());
    return 0;
}

int CTree::AddValue(const QDomElement& node, const QList<QByteArray>& texts)
{
    for (const QByteArray& t : texts) AppendValue(node, t);
    return 0;
}

QString RtfOutputPath(const QString& outputPath)
{
    return outputPath.chopped(qMin<qsizetype>(3, outputPath.size())) + QStringLiteral("rtf");
}

QString CTree::OutputFileName() const { return RtfOutputPath(m_outputPath); }

namespace {

// A page region cut apart: RTF text, and each row region joined into one
// string and represented in the text by a placeholder.
struct PagePiece {
    QByteArray text;
    qsizetype row = -1; // index into the page's row regions; -1 for RTF text
};
struct RowRegion {
    QByteArray name;
    QByteArray text;
};
struct PageRegion {
    QList<PagePiece> pieces;
    QList<RowRegion> rows;
};

// Cuts the template's lines start..end of a page region; an empty text, or
// why the region cannot be used.
QString CutPageRegion(const QList<QByteArray>& text, qsizetype start, qsizetype end, PageRegion& region)
{
    for (qsizetype k = start; k <= end; ++k) {
        const QByteArray& t = text[k];
        if (!t.startsWith(kStartRow)) {
            region.pieces.append(PagePiece{t});
            continue;
        }
        RowRegion row{"row" + regionNumber(t), {}};
        for (; k <= end; ++k) {
            row.text += text[k];
            if (text[k].startsWith(kEndRow))
                break;
        }
        if (k > end)
            return QStringLiteral("не закрыта строка %1").arg(QString::fromLatin1(row.name));
        region.pieces.append(PagePiece{{}, region.rows.size()});
        region.rows.append(row);
    }
    return QString();
}

// A row of the data document filled into a copy of its row region.
QByteArray FillRow(const RowRegion& region, const QDomElement& row)
{
    QByteArray filled = region.text;
    for (QDomElement v = row.firstChildElement(); !v.isNull(); v = v.nextSiblingElement()) {
        const QByteArray name = v.tagName().toLatin1();
        const QByteArray slot = startGroup(name) + endGroup(name);
        const qsizetype at = filled.indexOf(slot);
        if (at >= 0)
            filled.replace(at, slot.size(), rtfValueText(valueBytes(v)));
    }
    return filled;
}

// A page value in place of its bookmark's start; its end goes.
void PlacePageValue(QList<PagePiece>& pieces, const QDomElement& value)
{
    const QByteArray name = value.tagName().toLatin1();
    const QByteArray slotStart = startGroup(name);
    const QByteArray slotEnd = endGroup(name);
    for (PagePiece& piece : pieces) {
        if (piece.row < 0 && piece.text == slotStart) {
            piece.text = rtfValueText(valueBytes(value));
            break;
        }
    }
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        if (pieces[k].row < 0 && pieces[k].text == slotEnd) {
            pieces.removeAt(k);
            break;
        }
    }
}

// The page of the data document filled into its region and appended to the
// output: all its rows stand at the place of the region's row0. An empty
// text, or the name of a row the region lacks.
QString FillPage(PageRegion& region, const QDomElement& page, QList<QByteArray>& output)
{
    QList<QByteArray> filledRows;
    for (QDomElement child = page.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        const QByteArray name = child.tagName().toLatin1();
        if (!name.startsWith("row")) {
            PlacePageValue(region.pieces, child);
            continue;
        }
        qsizetype r = 0;
        while (r < region.rows.size() && region.rows[r].name != name) ++r;
        if (r == region.rows.size())
            return child.tagName();
        filledRows.append(FillRow(region.rows[r], child));
    }
    for (const PagePiece& piece : std::as_const(region.pieces)) {
        if (piece.row < 0)
            output.append(piece.text);
        else if (region.rows[piece.row].name == "row0")
            output.append(filledRows);
    }
    return QString();
}

} // namespace

int CTree::TemplateFault(const QString& why)
{
    std::fputs(kTemplateFault, stdout);
    std::fflush(stdout);
    m_errorText = why;
    return GenerateTemplateFault;
}

int CTree::MergeTemplate(QList<QByteArray>& output)
{
    const QString templateName = codepage::fromCp1251(m_templateName);
    const qsizetype prefixEnd = m_text.indexOf(kStartPage0);
    if (prefixEnd < 0)
        return TemplateFault(QStringLiteral("В шаблоне %1 нет закладки page0").arg(templateName));
    output = m_text.mid(0, prefixEnd);

    for (QDomElement page = m_doc.firstChildElement(); !page.isNull(); page = page.nextSiblingElement()) {
        const QByteArray pageName = page.tagName().toLatin1();
        const qsizetype start = m_text.indexOf(startGroup(pageName));
        const qsizetype end = start < 0 ? -1 : m_text.indexOf(endGroup(pageName), start);
        if (start < 0 || end < 0)
            return TemplateFault(QStringLiteral("В шаблоне %1 нет страницы %2").arg(templateName, page.tagName()));
        PageRegion region;
        const QString cutFault = CutPageRegion(m_text, start, end, region);
        if (!cutFault.isEmpty())
            return TemplateFault(QStringLiteral("В шаблоне %1 %2").arg(templateName, cutFault));
        const QString missingRow = FillPage(region, page, output);
        if (!missingRow.isEmpty())
            return TemplateFault(QStringLiteral("На странице %1 шаблона %2 нет строки %3")
                                     .arg(page.tagName(), templateName, missingRow));
    }

    qsizetype lastPageEnd = -1;
    for (qsizetype k = 0; k < m_text.size(); ++k)
        if (m_text[k].startsWith(kEndPage))
            lastPageEnd = k;
    if (lastPageEnd >= 0)
        output.append(m_text.mid(lastPageEnd + 1));
    return GenerateDone;
}

int CTree::Generate()
{
    m_errorText.clear();
    if (!m_fault.isEmpty()) {
        m_errorText = m_fault;
        return GenerateTemplateFault;
    }
    QList<QByteArray> output;
    const int merged = MergeTemplate(output);
    if (merged != GenerateDone)
        return merged;

    if (const QString reason = WriteOutput(output); !reason.isNull()) {
        std::fputs(kOutputFault, stdout);
        std::fflush(stdout);
        m_errorText = reason;
        return GenerateOutputFault;
    }

    const QString viewer = platform::DocumentOpener::Open(OutputFileName());
    if (!viewer.isEmpty()) {
        m_errorText = viewer;
        return GenerateNotOpened;
    }
    return GenerateDone;
}

QString CTree::WriteOutput(const QList<QByteArray>& output)
{
    platform::SavedFile file(OutputFileName());
    if (!file.open(QIODevice::WriteOnly))
        return file.failureText();
    for (const QByteArray& line : output) {
        file.write(line);
        file.write("\n", 1);
    }
    return file.commit() ? QString() : file.failureText();
}

} // namespace kalvor::print
