#include "exchange/PfrPackFiles.h"

#include "platform/CodePage.h"
#include "values/Messages.h"
#include "values/RoundText.h"

namespace kalvor::exchange {

PfrPackWriter::PfrPackWriter(const QString& path) : path_(path), file_(std::make_unique<platform::SavedFile>(path))
{
    if (!file_->open(QIODevice::WriteOnly))
        throw TextError(file_->failureText());
}

PfrPackWriter::~PfrPackWriter() { cancel(); }

void PfrPackWriter::write(const QByteArray& bytes)
{
    if (!file_)
        throw TextError(kMsgWriteFailed);
    if (file_->write(bytes) != bytes.size())
        throw TextError(file_->failureText());
    size_ += bytes.size();
}

void PfrPackWriter::commit()
{
    if (!file_)
        throw TextError(kMsgWriteFailed);
    if (!file_->commit())
        throw TextError(file_->failureText());
    file_.reset();
}

void PfrPackWriter::cancel()
{
    if (!file_)
        return;
    file_->cancelWriting();
    file_->commit();
    file_.reset();
}

void PfrTextLine::separate()
{
    if (!line_.isEmpty())
        line_ += ',';
}

PfrTextLine& PfrTextLine::text(const QByteArray& value)
{
    separate();
    line_ += '"' + value + '"';
    return *this;
}

PfrTextLine& PfrTextLine::number(const QByteArray& value)
{
    separate();
    line_ += value;
    return *this;
}

PfrTextLine& PfrTextLine::number(long long value) { return number(QByteArray::number(value)); }

PfrTextLine& PfrTextLine::amount(double kopecks) { return number(FormatFixed8(kopecks / 100.0, 2)); }

void PfrXmlLines::declaration() { out_ += "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"; }

QByteArray PfrXmlLines::Name(const char* name) { return codepage::toCp1251(QString::fromUtf8(name)); }

QByteArray PfrXmlLines::Escaped(const QByteArray& value)
{
    QByteArray out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

void PfrXmlLines::line(const QByteArray& text) { out_ += QByteArray(depth_, '\t') + text + "\r\n"; }

void PfrXmlLines::open(const char* name, const QByteArray& attributes)
{
    line('<' + Name(name) + (attributes.isEmpty() ? QByteArray() : ' ' + attributes) + '>');
    ++depth_;
}

void PfrXmlLines::close(const char* name)
{
    --depth_;
    line("</" + Name(name) + '>');
}

void PfrXmlLines::closeLast(const char* name)
{
    --depth_;
    out_ += QByteArray(depth_, '\t') + "</" + Name(name) + '>';
}

void PfrXmlLines::leaf(const char* name, const QByteArray& value)
{
    line('<' + Name(name) + '>' + Escaped(value) + "</" + Name(name) + '>');
}

} // namespace kalvor::exchange
