#pragma once
// The pages and rows that a print writer handed to the template engine, read
// back from the engine's data document for the tests of the forms.
#include <QDomDocument>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace kalvortest {

// The page's values and, for each row, its name and values.
struct PrintedPage {
    QStringList values;
    std::vector<std::pair<QString, QStringList>> rows;
    QStringList row(const QString& name, int occurrence = 0) const
    {
        for (const auto& [rowName, values] : rows)
            if (rowName == name && occurrence-- == 0)
                return values;
        return {};
    }
    QStringList rowNames() const
    {
        QStringList names;
        for (const auto& r : rows) names << r.first;
        return names;
    }
};

inline std::vector<PrintedPage> PagesOf(const QDomDocument& data)
{
    std::vector<PrintedPage> pages;
    const QDomElement doc = data.documentElement().firstChildElement("doc");
    for (QDomElement page = doc.firstChildElement(); !page.isNull(); page = page.nextSiblingElement()) {
        PrintedPage printed;
        for (QDomElement child = page.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
            if (!child.tagName().startsWith("row")) {
                printed.values << child.text();
                continue;
            }
            QStringList values;
            for (QDomElement v = child.firstChildElement(); !v.isNull(); v = v.nextSiblingElement()) values << v.text();
            printed.rows.emplace_back(child.tagName(), values);
        }
        pages.push_back(printed);
    }
    return pages;
}

} // namespace kalvortest
