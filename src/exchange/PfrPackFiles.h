#pragma once
// The files of the pension-fund packs: a file written under a temporary name
// whose every write is checked, the line builder of the text pack and the
// line writer of the XML pack.
#include "platform/SavedFile.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace kalvor::exchange {

// A pack file: created anew, written under a temporary name beside its real
// one, and given that name by commit(). A file not committed is dropped when
// the writer goes, so a stopped or failed run leaves the old file as it was.
class PfrPackWriter {
public:
    // Opens the file; throws TextError naming the file and why when it cannot
    // ("Ошибка записи в файл <path>" and the reason on a line of its own).
    explicit PfrPackWriter(const QString& path);
    ~PfrPackWriter();
    PfrPackWriter(const PfrPackWriter&) = delete;
    PfrPackWriter& operator=(const PfrPackWriter&) = delete;

    // Appends the bytes; throws the same TextError when they do not all go out.
    void write(const QByteArray& bytes);
    // Gives the file its real name; throws the same TextError when it cannot.
    void commit();
    // Drops what was written.
    void cancel();
    qint64 size() const { return size_; }
    const QString& path() const { return path_; }

private:
    QString path_;
    std::unique_ptr<platform::SavedFile> file_;
    qint64 size_ = 0;
};

// One line of the text pack: text fields in double quotes, number fields
// bare, separated by commas, ended by CR LF; windows-1251.
class PfrTextLine {
public:
    PfrTextLine& text(const QByteArray& value);
    PfrTextLine& number(const QByteArray& value);
    PfrTextLine& number(long long value);
    // An amount in kopecks written in roubles with two decimals.
    PfrTextLine& amount(double kopecks);
    QByteArray bytes() const { return line_ + "\r\n"; }

private:
    void separate();
    QByteArray line_;
};

// Lines of the XML pack: TAB indentation, CR LF; values and attribute texts
// have "&", "<" and ">" escaped.
class PfrXmlLines {
public:
    explicit PfrXmlLines(int depth = 0) : depth_(depth) {}
    void declaration();
    void open(const char* name, const QByteArray& attributes = {});
    void close(const char* name);
    // The last closing tag of a file, without its line end.
    void closeLast(const char* name);
    void leaf(const char* name, const QByteArray& value);
    int depth() const { return depth_; }
    const QByteArray& bytes() const { return out_; }
    static QByteArray Escaped(const QByteArray& value);

private:
    static QByteArray Name(const char* name);
    void line(const QByteArray& text);
    QByteArray out_;
    int depth_ = 0;
};

} // namespace kalvor::exchange
