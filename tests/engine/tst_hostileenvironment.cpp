#include "enginefixtures.h"
#include "outputreservation.h"
#include "vipsruntime.h"
#include "webpfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utime.h>

using namespace Qt::StringLiterals;
using EngineFixtures::entries;

namespace {

/// The live processes whose command line names a file that `pid` holds open: the encoders it
/// started, whoever their parent is now.
QStringList encodersOf(qint64 pid)
{
    const QByteArray mark = "/proc/" + QByteArray::number(pid) + "/fd/";
    QStringList found;
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile cmdline(u"/proc/%1/cmdline"_s.arg(entry));
        if (entry.toLongLong() > 0 && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(mark))
            found << entry;
    }
    return found;
}

} // namespace

/// A hostile machine: the app killed at any moment, output and temporary folders that are
/// missing or cannot hold unnamed files. Nothing is left half-made under a final name.
class TestHostileEnvironment : public QObject
{
    Q_OBJECT

    static constexpr int files = 7;
    QTemporaryDir m_inputs;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(VipsRuntime::ensureStarted());
        // Three quick files and four whose encodes outlast the wait after a kill by far, so
        // that an encoder left running then is seen.
        for (int i = 0; i < files; ++i) {
            const int side = i < 3 ? 64 : 1200;
            EngineFixtures::save(EngineFixtures::noise(side, side, i), ".png[compression=1]",
                                 m_inputs.filePath(u"%1.png"_s.arg(i)));
        }
    }

    void killedMidRun_data()
    {
        QTest::addColumn<int>("outputsBeforeKill"); // 0: as the first encoder starts
        QTest::newRow("first encoder running") << 0;
        QTest::newRow("after the first output") << 1;
        QTest::newRow("after three outputs") << 3;
    }

    void killedMidRun()
    {
        QFETCH(int, outputsBeforeKill);
        QTemporaryDir out;
        QTemporaryDir tmp;
        QProcess tessel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TMPDIR"_s, tmp.path());
        tessel.setProcessEnvironment(environment);
        tessel.start(QStringLiteral(TESSEL_BINARY),
                     {u"convert"_s, u"-o"_s, out.path(), u"-p"_s, u"original"_s, m_inputs.path()});
        QVERIFY(tessel.waitForStarted());
        const qint64 pid = tessel.processId();
        const auto outputs = [&] { return QDir(out.path()).entryList({u"*.webp"_s}).size(); };
        if (outputsBeforeKill == 0)
            QTRY_VERIFY_WITH_TIMEOUT(!encodersOf(pid).isEmpty(), 120000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(outputs() >= outputsBeforeKill, 120000);
        QVERIFY2(outputs() < files, "the run ended before the kill");
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(tessel.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(encodersOf(pid), QStringList(), 3000);
        for (const QString &name : entries(out.path())) {
            QVERIFY2(name.endsWith(u".webp"_s) && !name.startsWith(u'.'), qPrintable(name));
            QCOMPARE(WebpFile::checkFile(out.filePath(name)), WebpFile::State::valid);
        }
        QCOMPARE(entries(tmp.path()), QStringList());
    }

    void partFile_data()
    {
        QTest::addColumn<int>("leftAge"); // seconds; -1: no part file left by another run
        QTest::addColumn<bool>("leftLocked");
        QTest::addColumn<bool>("publish");
        QTest::addColumn<QStringList>("expected");
        const QString left = u".tessel-00000000000000aa.part"_s;
        QTest::newRow("published") << -1 << false << true << QStringList{u"a.webp"_s};
        QTest::newRow("dropped") << -1 << false << false << QStringList();
        QTest::newRow("crashed run's part removed") << 120 << false << false << QStringList();
        QTest::newRow("part in use kept") << 120 << true << false << QStringList{left};
        QTest::newRow("part just made kept")
            << 0 << false << true << QStringList{left, u"a.webp"_s};
    }

    void partFile()
    {
        QFETCH(int, leftAge);
        QFETCH(bool, leftLocked);
        QFETCH(bool, publish);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QByteArray left = QFile::encodeName(dir.filePath(u".tessel-00000000000000aa.part"_s));
        const int leftFd = leftAge < 0 ? -1 : ::open(left.constData(), O_CREAT | O_RDWR, 0666);
        if (leftFd >= 0) {
            const utimbuf times{::time(nullptr) - leftAge, ::time(nullptr) - leftAge};
            QCOMPARE(::utime(left.constData(), &times), 0);
            if (leftLocked)
                QCOMPARE(::flock(leftFd, LOCK_EX), 0);
        }
        {
            OutputReservation output(dir.path(), u"a.png"_s, OutputReservation::Kind::partFile);
            QVERIFY(output.isValid());
            QCOMPARE(::write(output.fd(), "data", 4), 4);
            if (publish) {
                QVERIFY(output.publish());
                QCOMPARE(output.path(), dir.filePath(u"a.webp"_s));
            }
        }
        if (leftFd >= 0)
            ::close(leftFd);
        QCOMPARE(entries(dir.path()), expected);
    }

    void folders_data()
    {
        QTest::addColumn<QString>("outputFolder");
        QTest::addColumn<QString>("tempFolder");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::newRow("output folder missing")
            << u"missing"_s << u"."_s << u"Could not create output file"_s
            << u"No such file or directory"_s;
        QTest::newRow("output folder is a file")
            << u"a.png"_s << u"."_s << u"Could not create output file"_s << u"Not a directory"_s;
        QTest::newRow("temporary folder missing")
            << u"."_s << u"missing"_s << u"Could not create temp file"_s
            << u"No such file or directory"_s;
    }

    void folders()
    {
        QFETCH(QString, outputFolder);
        QFETCH(QString, tempFolder);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        const QString input = dir.filePath(u"a.png"_s);
        EngineFixtures::save(EngineFixtures::noise(8, 8), ".png", input);
        const QByteArray previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(dir.filePath(tempFolder)));
        const ConversionStatus status =
            EngineFixtures::convert(input, EngineFixtures::job(dir.filePath(outputFolder)));
        qputenv("TMPDIR", previous);
        QCOMPARE(status.message(), message);
        QCOMPARE(status.detail(), detail);
        QCOMPARE(entries(dir.path()), QStringList{u"a.png"_s});
    }
};

QTEST_GUILESS_MAIN(TestHostileEnvironment)
#include "tst_hostileenvironment.moc"
