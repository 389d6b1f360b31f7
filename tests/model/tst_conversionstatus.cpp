#include "conversionstatus.h"

#include <QTest>

#include <clocale>

class TestConversionStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusText_data()
    {
        QTest::addColumn<ConversionStatus>("status");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        const QString c = QStringLiteral("C");
        QTest::newRow("queued") << ConversionStatus::queued() << c << QStringLiteral("Waiting");
        QTest::newRow("converting") << ConversionStatus::converting() << c
                                    << QString(QStringLiteral("Converting") + QChar(0x2026));
        QTest::newRow("cancelled")
            << ConversionStatus::cancelled() << c << QStringLiteral("Cancelled");
        QTest::newRow("error") << ConversionStatus::error(QStringLiteral("Could not load image"))
                               << c << QStringLiteral("Could not load image");
        QTest::newRow("0 bytes") << ConversionStatus::done({}, 0) << c << QStringLiteral("0.0 KB");
        QTest::newRow("1 MiB") << ConversionStatus::done({}, 1048576) << c
                               << QStringLiteral("1024.0 KB");
        QTest::newRow("rounds half down")
            << ConversionStatus::done({}, 1075) << c << QStringLiteral("1.0 KB");
        QTest::newRow("rounds up")
            << ConversionStatus::done({}, 1076) << c << QStringLiteral("1.1 KB");
        QTest::newRow("full stop in German")
            << ConversionStatus::done({}, 12595) << QStringLiteral("de_DE")
            << QStringLiteral("12.3 KB");
    }

    void statusText()
    {
        QFETCH(ConversionStatus, status);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        // The C library's locale too, where the machine has it.
        std::setlocale(LC_NUMERIC, (locale + QStringLiteral(".UTF-8")).toUtf8().constData());
        const QString shown = status.statusText();
        std::setlocale(LC_NUMERIC, "C");
        QLocale::setDefault(previous);
        QCOMPARE(shown, text);
    }
};

QTEST_GUILESS_MAIN(TestConversionStatus)
#include "tst_conversionstatus.moc"
