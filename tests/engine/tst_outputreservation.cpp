#include "enginefixtures.h"
#include "outputreservation.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestOutputReservation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void baseName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("base");
        QTest::newRow("last extension only")
            << QStringLiteral("holiday.beach.png") << QStringLiteral("holiday.beach");
        QTest::newRow("no extension") << QStringLiteral("README") << QStringLiteral("README");
        QTest::newRow("hidden name") << QStringLiteral(".png") << QStringLiteral(".png");
        QTest::newRow("upper case") << QStringLiteral("A.JPEG") << QStringLiteral("A");
        QTest::newRow("blanks kept")
            << QStringLiteral("my photo.webp") << QStringLiteral("my photo");
    }

    void baseName()
    {
        QFETCH(QString, input);
        QFETCH(QString, base);
        QCOMPARE(OutputReservation::baseName(input), base);
    }

    void firstFreeName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << QStringList{} << QStringLiteral("a.webp");
        QTest::newRow("a and a_1 taken")
            << QStringList{QStringLiteral("a.webp"), QStringLiteral("a_1.webp")}
            << QStringLiteral("a_2.webp");
        QTest::newRow("gap is reused")
            << QStringList{QStringLiteral("a.webp"), QStringLiteral("a_2.webp")}
            << QStringLiteral("a_1.webp");
        QTest::newRow("a folder counts")
            << QStringList{QStringLiteral("a.webp/")} << QStringLiteral("a_1.webp");
    }

    void firstFreeName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &name : existing) {
            if (name.endsWith(QLatin1Char('/')))
                QVERIFY(QDir(dir.path()).mkdir(name));
            else
                EngineFixtures::writeBytes(dir.filePath(name), "old");
        }
        {
            OutputReservation reservation(dir.path(), QStringLiteral("a.png"));
            QVERIFY(reservation.isValid());
            QCOMPARE(reservation.path(), dir.filePath(expected));
            QVERIFY(QFileInfo(reservation.path()).isFile());
        }
        QVERIFY(!QFile::exists(dir.filePath(expected)));
        for (const QString &name : existing) {
            if (!name.endsWith(QLatin1Char('/')))
                QCOMPARE(QFileInfo(dir.filePath(name)).size(), 3);
        }
    }

    void keptReservationStays()
    {
        QTemporaryDir dir;
        QString first;
        {
            OutputReservation reservation(dir.path(), QStringLiteral("a.png"));
            reservation.keep();
            first = reservation.path();
        }
        QVERIFY(QFile::exists(first));
        OutputReservation second(dir.path(), QStringLiteral("a.jpg"));
        QCOMPARE(second.path(), dir.filePath(QStringLiteral("a_1.webp")));
    }

    void longNamesFit_data()
    {
        QTest::addColumn<QString>("base");
        QTest::newRow("ASCII") << QString(250, QLatin1Char('x'));
        QTest::newRow("two-byte characters") << QString(125, QChar(0x00e9));
        QTest::newRow("surrogate pairs") << QString::fromUcs4(U"\U0001F600").repeated(62);
    }

    void longNamesFit()
    {
        QFETCH(QString, base);
        QTemporaryDir dir;
        const QString input = base + QStringLiteral(".png");
        OutputReservation first(dir.path(), input);
        OutputReservation second(dir.path(), input);
        QVERIFY(first.isValid());
        QVERIFY(second.isValid());
        const QString name = QFileInfo(second.path()).fileName();
        QVERIFY(name.endsWith(QStringLiteral("_1.webp")));
        QVERIFY(name.toUtf8().size() <= 255);
        QVERIFY(base.startsWith(name.chopped(7)));
        QVERIFY(!name.chopped(7).back().isHighSurrogate());
    }
};

QTEST_GUILESS_MAIN(TestOutputReservation)
#include "tst_outputreservation.moc"
