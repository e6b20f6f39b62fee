#pragma once
// RTF template engine.
//
// A template is an RTF document in "Shablon" (see WorkingFolder.h) whose
// places are marked with bookmarks: page regions "page0", "page1" ..., row
// regions "row0", "row1" ... inside a page, and empty value bookmarks "par" + K,
// K counting all value bookmarks of the file in file order. A writer creates
// one CTree per document, adds pages, rows and values in the order of the
// template's bookmarks, and calls Generate, which repeats each page region once
// per page element and each row region once per row element, puts the values
// in their bookmarks and writes "<output path minus 3 characters>rtf". The
// finished document is then opened through the document opener.
//
// Values are 8-bit windows-1251 texts. They are written into the RTF as text:
// backslash and braces are escaped and letters outside ASCII become \'xx.
//
// Before use, bookmark groups are moved to whole RTF units, keyed on the way
// Word writes RTF; a template written by hand must follow the same shape:
// - each paragraph as "\pard\plain <properties> " followed by groups, its
//   mark inside a group ("{\par }"), so that every "\pard" begins a node;
// - "{\*\bkmkstart page0}" inside the first paragraph of the page (it moves to
//   before that paragraph's "\pard\plain "); put "\pagebb" on that paragraph
//   when each copy of the page should begin a new sheet;
// - "{\*\bkmkend page0}" in an empty last paragraph of the document (it moves
//   to before that paragraph, which stays outside the page); a page region
//   that is followed by another ends with a section break "{\sect }" after
//   its end bookmark, and the next section starts with "\sectd ";
// - a row region is a table row: "{\*\bkmkstart rowN}" in its first cell, the
//   row ended by a group ending in "\row }" (for example "{\row }"), and
//   "{\*\bkmkend rowN}" in the first cell of the following row or in the
//   paragraph after the table. The row before a region must end in "\row }"
//   too, and two row regions need a row between them that is not a region,
//   unless the first cell of the lower one opens with its start bookmark
//   followed by the end bookmark of the upper one
//   ("{\*\bkmkstart row5}{\*\bkmkend row4}"), as the pay statement
//   templates have it;
// - value slots "{\*\bkmkstart parK}{\*\bkmkend parK}" with nothing between.
//
// What the writer adds is kept in a QtXml document in memory:
//   docList / typedoc (template name), print ("0"), doc / page elements
//   (named after their bookmark) holding value elements "par" + K and row
//   elements ("row0" ...) that hold their own value elements.
#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>

#include <initializer_list>
#include <vector>

namespace kalvor::print {

class CTree {
public:
    // Results of Generate. A writer that gets a negative result reports that
    // the print file could not be made.
    enum GenerateResult {
        GenerateDone = 0, // written and handed to the viewer
        GenerateNotOpened = 1, // written, but the viewer could not be started (ErrorText says why)
        GenerateTemplateFault = -1, // template without "page0", or a page/row the template lacks
        GenerateOutputFault = -2, // the output file could not be written
    };

    // One value of AddValue: an 8-bit text (QByteArray, char array) taken as
    // windows-1251 bytes. (A Cyrillic string literal is UTF-8: convert it.)
    class Value {
    public:
        Value(const QByteArray& bytes) : m_bytes(bytes) {}
        Value(const char* bytes) : m_bytes(bytes) {}
        const QByteArray& Bytes() const { return m_bytes; }

    private:
        QByteArray m_bytes;
    };

    // Reads "Shablon/<templateName>.rtf" from the working folder and prepares
    // it. Throws the string exception TextError ("Ошибка при открытии файла
    // %s", "Ошибка при чтении файла %s" with the template path) when the
    // template cannot be used.
    CTree(const QByteArray& templateName, const QString& outputPath);
    virtual ~CTree();
    CTree(const CTree&) = delete;
    CTree& operator=(const CTree&) = delete;

    // Appends a page of the named page region; values added to it are
    // numbered from the region's first value bookmark. The element is also
    // stored into *outNode when outNode is not null.
    QDomElement NewPage(QDomElement* outNode, const QByteArray& pageName);

    // Appends a row of the named row region under the page; values added to
    // the row are numbered from the region's first value bookmark.
    QDomElement NewRow(const QByteArray& rowName, QDomElement* outNode, const QDomElement& pageNode);

    // Appends each text as the next numbered value of the node (a page or a
    // row). An empty text is a value like any other. Returns 0.
    int AddValue(const QDomElement& node, std::initializer_list<Value> texts);
    int AddValue(const QDomElement& node, const QList<QByteArray>& texts);

    // Merges the values into the template, writes the output file and opens
    // it. Returns a GenerateResult; ErrorText() explains anything but Done.
    int Generate();

    // The file that Generate writes: the output path with its last three
    // characters replaced by "rtf".
    QString OutputFileName() const;
    QString ErrorText() const { return m_errorText; }

    // The bookmark map: each page or row name followed by the first value
    // number of its region, with the last value numbers of page heads, rows
    // and page tails between them.
    const QList<QByteArray>& BookmarkMap() const { return m_map; }
    const QDomDocument& DataDocument() const { return m_data; }

private:
    // The steps of Generate: the template with every page of the data
    // document merged in (a GenerateResult), and the report of a template
    // that cannot take the data.
    int MergeTemplate(QList<QByteArray>& output);
    int TemplateFault(const QString& why);

    struct Node {
        int parent = -1;
        int depth = 0;
        int sequence = -1;
        QByteArray text;
        std::vector<int> children;
    };

    void ReadRtf(const QString& path);
    void CreateDataDocument();
    void NormalizeBookmarks();
    void MakeMap();
    QDomElement AddRegion(const QByteArray& name, QDomElement* outNode, QDomElement parent);
    void AppendValue(QDomElement node, const QByteArray& text);
    // Writes the document; a null text when written, else the failure naming
    // the file and why (SavedFile::failureText).
    QString WriteOutput(const QList<QByteArray>& output);
    void Fault(const QString& diagnostic);

    QByteArray m_templateName;
    QString m_outputPath;
    std::vector<Node> m_nodes; // [0] is the root; the rest in creation (file) order
    QList<QByteArray> m_text; // node texts in file order, bookmarks normalised
    QList<QByteArray> m_map;
    QDomDocument m_data;
    QDomElement m_doc;
    QDomElement m_current;
    int m_valueNumber = 0;
    QString m_fault; // a writer's page/row that the template lacks
    QString m_errorText; // why Generate did not finish cleanly
};

// The document that CTree writes for an output path: the path with its last
// three characters replaced by "rtf".
QString RtfOutputPath(const QString& outputPath);

} // namespace kalvor::print
