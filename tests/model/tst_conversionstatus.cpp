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
        QTest::addColumn<QString>("text");
        QTest::newRow("queued") << ConversionStatus::queued() << QStringLiteral("Waiting");
        QTest::newRow("converting") << ConversionStatus::converting()
                                    << QString(QStringLiteral("Converting") + QChar(0x2026));
        QTest::newRow("cancelled") << ConversionStatus::cancelled() << QStringLiteral("Cancelled");
        QTest::newRow("error") << ConversionStatus::error(QStringLiteral("Could not load image"))
                               << QStringLiteral("Could not load image");
        QTest::newRow("1 MiB") << ConversionStatus::done({}, 1048576)
                               << QStringLiteral("1024.0 KB");
        QTest::newRow("rounds half down")
            << ConversionStatus::done({}, 1075) << QStringLiteral("1.0 KB");
        QTest::newRow("rounds up")
            << ConversionStatus::done({}, 12595) << QStringLiteral("12.3 KB");
    }

    /// With a German locale, where the machine has it: still a full stop.
    void statusText()
    {
        QFETCH(ConversionStatus, status);
        QFETCH(QString, text);
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German));
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        const QString shown = status.statusText();
        std::setlocale(LC_NUMERIC, "C");
        QLocale::setDefault(previous);
        QCOMPARE(shown, text);
    }
};

QTEST_GUILESS_MAIN(TestConversionStatus)
#include "tst_conversionstatus.moc"
