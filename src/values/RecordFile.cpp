#include "values/RecordFile.h"

#include "values/CScan.h"
#include "values/Messages.h"

#include <QByteArray>

namespace kalvor {

int RecordNumberInFile(qint64 index, qint64 headerLength, QIODevice& file)
{
    char digits[4];
    if (!file.seek(headerLength + index * kOutputFileRecordSize + 1) || file.read(digits, 4) != 4)
        throw TextError(kMsgReadFailed);
    return AtoiC(digits, 4);
}

FileRecordSearch FindRecordInFile(int tabN, qint64 count, qint64 headerLength, QIODevice& file)
{
    qint64 lo = 0, hi = count - 1;
    while (lo <= hi) {
        const qint64 mid = lo + (hi - lo) / 2;
        const int number = RecordNumberInFile(mid, headerLength, file);
        if (number == tabN)
            return {true, mid};
        if (number < tabN)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return {false, lo};
}

void MoveFileTail(qint64 from, qint64 to, QIODevice& file)
{
    constexpr qint64 kChunk = 8000;
    const qint64 end = file.size();
    if (from >= end || from == to)
        return;
    QByteArray buf(kChunk, '\0');
    auto moveChunk = [&](qint64 at, qint64 n) {
        if (!file.seek(at) || file.read(buf.data(), n) != n)
            throw TextError(kMsgReadFailed);
        if (!file.seek(at + (to - from)) || file.write(buf.constData(), n) != n)
            throw TextError(kMsgWriteFailed);
    };
    if (to > from) {
        // Opening room: from the end backwards, so nothing is overwritten
        // before it has been moved.
        qint64 pos = end;
        while (pos > from) {
            const qint64 n = qMin(kChunk, pos - from);
            pos -= n;
            moveChunk(pos, n);
        }
    } else {
        for (qint64 pos = from; pos < end; pos += kChunk) moveChunk(pos, qMin(kChunk, end - pos));
    }
}

} // namespace kalvor
