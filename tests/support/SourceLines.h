#pragma once
// The lines of the program's own sources, for tests that hold a rule over
// every file of a folder (a code compared by its name, a table named by its
// declaration).
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kalvor::testsupport {

// "path:line: text" of every line, in the files of src/<folder> and its subfolders
// whose path does not end with one of `skipped`, that `matches` accepts.
inline std::vector<std::string> SourceLinesWhere(const QString& folder, const QStringList& skipped,
                                                 const std::function<bool(const QString& line)>& matches)
{
    std::vector<std::string> found;
    QDirIterator files(QStringLiteral(KALVOR_SOURCE_DIR "/src/") + folder,
                       {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (std::any_of(skipped.begin(), skipped.end(), [&](const QString& s) { return path.endsWith(s); }))
            continue;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        int number = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++number;
            if (matches(line))
                found.push_back(QStringLiteral("%1:%2: %3").arg(path).arg(number).arg(line.trimmed()).toStdString());
        }
    }
    return found;
}

} // namespace kalvor::testsupport
