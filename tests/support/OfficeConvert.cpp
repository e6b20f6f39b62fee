#include "support/OfficeConvert.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace kalvor::testsupport {

QString OfficeProgram()
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    return office.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("libreoffice")) : office;
}

QString ConvertWithOffice(const QString& file, const QString& format, const QString& outFolder,
                          const QStringList& extraArguments)
{
    const QString office = OfficeProgram();
    if (office.isEmpty())
        return QString();
    const QFileInfo source(file);
    const QString folder = outFolder.isEmpty() ? source.absolutePath() : outFolder;
    QStringList arguments{QStringLiteral("-env:UserInstallation=file://") + QDir(folder).filePath(QStringLiteral("lo")),
                          QStringLiteral("--headless")};
    arguments << extraArguments << QStringLiteral("--convert-to") << format << QStringLiteral("--outdir") << folder
              << source.absoluteFilePath();
    QProcess convert;
    convert.start(office, arguments);
    if (!convert.waitForFinished(180'000))
        return QString();
    const QString extension = format.section(QLatin1Char(':'), 0, 0);
    const QString converted = QDir(folder).filePath(source.completeBaseName() + QLatin1Char('.') + extension);
    return QFile::exists(converted) ? converted : QString();
}

bool PdfToTextAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

QString PdfText(const QString& pdf, int page, bool layout)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return QString();
    QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (layout)
        arguments << QStringLiteral("-layout");
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    QProcess extract;
    extract.start(pdftotext, arguments << pdf << QStringLiteral("-"));
    extract.waitForFinished(60'000);
    return QString::fromUtf8(extract.readAllStandardOutput());
}

void KeepCopy(const QString& file, const QString& kept)
{
    QFile::remove(kept);
    QFile::copy(file, kept);
}

} // namespace kalvor::testsupport
