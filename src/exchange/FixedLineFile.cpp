#include "exchange/FixedLineFile.h"

#include "values/Messages.h"

#include "platform/SavedFile.h"

#include <QFile>

namespace kalvor::exchange {

std::vector<QByteArray> ReadFixedLines(const QString& path, int lineSize, int maxLines)
{
    QFile file(path);
    QString failure;
    if (!file.exists() && !platform::WriteWholeFile(path, QByteArray(), &failure))
        throw TextError(failure);
    if (!file.open(QIODevice::ReadOnly))
        throw TextErrorWithPath(kMsgOpenFailed, path);
    std::vector<QByteArray> lines;
    while (int(lines.size()) < maxLines) {
        QByteArray line = file.read(lineSize);
        if (line.size() < lineSize)
            break;
        lines.push_back(std::move(line));
    }
    return lines;
}

void WriteFixedLines(const QString& path, const std::vector<QByteArray>& lines, int textSize)
{
    platform::SavedFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw TextError(file.failureText());
    for (const QByteArray& line : lines) {
        const QByteArray text = line.left(textSize).leftJustified(textSize, ' ') + "\r\n";
        if (file.write(text) != text.size()) {
            file.cancelWriting();
            throw TextError(file.failureText());
        }
    }
    if (!file.commit())
        throw TextError(file.failureText());
}

} // namespace kalvor::exchange
