// mkdata: makes the data files of the working folder from the readable
// sources in data/src/.
//
//   mkdata refs     <srcdir> <outdir>   reference files, their "_" copies, "country"
//   mkdata template <srcdir> <outdir>   the empty-base template "empty.bak"
//   mkdata demo     <srcdir> <outdir>   the demo base "demo", only when it is missing
//   mkdata tabel    <srcdir> <outdir>   the demo firm's time-sheet file "tabel.dbf", only when it is missing
//   mkdata koddbf   <srcdir> <outdir>   the kinds file "kod.dbf" (no records), only when it is missing
//   mkdata sdeldbf  <srcdir> <outdir>   the output-file template "sdel.dbf", only when it is missing
#include "DataSources.h"
#include "DemoFirm.h"
#include "TimeSheetFile.h"
#include "exchange/KodDbf.h"
#include "exchange/OutputFile.h"
#include "platform/WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

using namespace kalvor;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: mkdata refs|template|demo|tabel|koddbf|sdeldbf <srcdir> <outdir>\n");
        return 2;
    }
    const QString mode = args[1];
    const QString src = args[2];
    const QString out = platform::WithSeparator(QDir(args[3]).absolutePath());
    try {
        if (mode == QLatin1String("refs")) {
            infobase::CRefFiles ref;
            tools::ReadReferenceSources(src, ref);
            tools::WriteReferenceFiles(ref, out);
        } else if (mode == QLatin1String("template")) {
            tools::WriteEmptyTemplate(src, out);
        } else if (mode == QLatin1String("demo")) {
            if (tools::MakeDemoBase(out))
                std::printf("mkdata: demo base made in %s\n", qPrintable(out));
        } else if (mode == QLatin1String("tabel")) {
            if (tools::MakeDemoTimeSheetFile(out))
                std::printf("mkdata: time-sheet file made in %s\n", qPrintable(out));
        } else if (mode == QLatin1String("koddbf")) {
            QDir().mkpath(out);
            exchange::WriteKodDbfTemplate(out);
        } else if (mode == QLatin1String("sdeldbf")) {
            QDir().mkpath(out);
            exchange::WriteOutputTemplate(out);
        } else {
            std::fprintf(stderr, "mkdata: unknown mode %s\n", qPrintable(mode));
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdata: %s\n", e.what());
        return 1;
    }
    return 0;
}
