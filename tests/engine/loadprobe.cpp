// Loads one image the way the converter does, in a process of its own, so that a test can
// bound its memory and its time and tell an error from a crash.
//
//   loadprobe [--max-memory MIB] [--size WxH] PATH
//
// Prints "ok W H BANDS" and exits 0, or prints the error message and exits 1.

#include "imageloader.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    qint64 width = 0;
    qint64 height = 0;
    bool preserve = true;
    while (args.size() > 1) {
        const QString option = args.takeFirst();
        const QString value = args.takeFirst();
        if (option == QStringLiteral("--max-memory")) {
            const rlim_t bytes = value.toULongLong() * 1024 * 1024;
            const rlimit limit{bytes, bytes};
            setrlimit(RLIMIT_AS, &limit);
        } else if (option == QStringLiteral("--size")) {
            width = value.section(QLatin1Char('x'), 0, 0).toLongLong();
            height = value.section(QLatin1Char('x'), 1, 1).toLongLong();
            preserve = false;
        }
    }
    if (args.size() != 1)
        return 2;
    const ImageLoader::Result result = ImageLoader::load(args.first(), width, height, preserve);
    QTextStream out(stdout);
    if (!result.ok()) {
        out << result.error << '\n';
        return 1;
    }
    out << "ok " << result.image.width() << ' ' << result.image.height() << ' '
        << result.image.bands() << '\n';
    return 0;
}
