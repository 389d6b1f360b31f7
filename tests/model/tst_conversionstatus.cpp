#include "conversionstatus.h"
#include "fileitem.h"

#include <QSignalSpy>
#include <QTest>

#include <clocale>

class TestConversionStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusText_data()
    {
        QTest::addColumn<ConversionStatus>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("queued") << ConversionStatus::queued() << QStringLiteral("Waiting");
        QTest::newRow("converting") << ConversionStatus::converting()
                                    << QString(QStringLiteral("Converting") + QChar(0x2026));
        QTest::newRow("cancelled") << ConversionStatus::cancelled() << QStringLiteral("Cancelled");
        QTest::newRow("error") << ConversionStatus::error(QStringLiteral("Could not load image"))
                               << QStringLiteral("Could not load image");
        QTest::newRow("empty error") << ConversionStatus::error({}) << QString();
        QTest::newRow("0 bytes") << ConversionStatus::done({}, 0) << QStringLiteral("0.0 KB");
        QTest::newRow("1023 bytes") << ConversionStatus::done({}, 1023) << QStringLiteral("1.0 KB");
        QTest::newRow("1536 bytes") << ConversionStatus::done({}, 1536) << QStringLiteral("1.5 KB");
        QTest::newRow("1 MiB") << ConversionStatus::done({}, 1048576)
                               << QStringLiteral("1024.0 KB");
        QTest::newRow("rounds half")
            << ConversionStatus::done({}, 1075) << QStringLiteral("1.0 KB");
        QTest::newRow("rounds up") << ConversionStatus::done({}, 1076) << QStringLiteral("1.1 KB");
    }

    void statusText()
    {
        QFETCH(ConversionStatus, status);
        QFETCH(QString, text);
        QCOMPARE(status.statusText(), text);
    }

    void sizeTextUsesFullStopInEveryLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("de_DE") << QStringLiteral("de_DE");
        QTest::newRow("fr_FR") << QStringLiteral("fr_FR");
    }

    void sizeTextUsesFullStopInEveryLocale()
    {
        QFETCH(QString, locale);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        // The C library's locale too, where the machine has it.
        const QByteArray name = (locale + QStringLiteral(".UTF-8")).toUtf8();
        std::setlocale(LC_NUMERIC, name.constData());
        const QString text = ConversionStatus::done({}, 12595).statusText();
        std::setlocale(LC_NUMERIC, "C");
        QLocale::setDefault(previous);
        QCOMPARE(text, QStringLiteral("12.3 KB"));
    }

    void equality()
    {
        const auto done = ConversionStatus::done(QStringLiteral("/x/a.webp"), 100);
        QCOMPARE(done, ConversionStatus::done(QStringLiteral("/x/a.webp"), 100));
        QVERIFY(done != ConversionStatus::done(QStringLiteral("/x/a.webp"), 101));
        QVERIFY(done != ConversionStatus::done(QStringLiteral("/y/a.webp"), 100));
        QVERIFY(ConversionStatus::queued() != ConversionStatus::cancelled());
        QCOMPARE(ConversionStatus::error(QStringLiteral("a")),
                 ConversionStatus::error(QStringLiteral("a")));
        QVERIFY(ConversionStatus::error(QStringLiteral("a")) !=
                ConversionStatus::error(QStringLiteral("b")));
        QVERIFY(ConversionStatus::error({}) != ConversionStatus::done({}, 0));
    }

    void newItem()
    {
        const FileItem item = FileItem::make(QByteArray("/Users/x/Pictures/a b\xff.png"));
        QCOMPARE(item.fileName(), QStringLiteral("a b\ufffd.png"));
        QCOMPARE(item.status.statusText(), QStringLiteral("Waiting"));
        QVERIFY(item.isSelected);
        QVERIFY(FileItem::make(item.path).id != item.id);
    }
};

QTEST_GUILESS_MAIN(TestConversionStatus)
#include "tst_conversionstatus.moc"
