#include "convertersettings.h"
#include "ppioption.h"
#include "settingrules.h"

#include <QTest>

namespace {

const QByteArray document =
    R"({"presets":[{"id":"3f2504e0-4f89-11d3-9a0c-0305e82c3301","name":"Web","width":1920,)"
    R"("height":1080,"preserveOriginal":false}],"selectedPresetID":"3F2504E0-4F89-11D3-9A0C-)"
    R"(0305E82C3301","ppiOption":"96","customPPI":240,"fileSizeLimitEnabled":false,)"
    R"("fileSizeLimitKB":500,"quality":70})";

QByteArray with(const char *from, const char *to)
{
    return QByteArray(document).replace(from, to);
}

} // namespace

/// The stored settings document and the rules every entry point applies to settings.
class TestConverterSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    /// Values outside every rule are the user's: they survive a save and a load unchanged.
    void roundTrip()
    {
        ConverterSettings settings;
        settings.presets = {ResolutionPreset::make(QString(), 16384, 0, false),
                            ResolutionPreset::make(QStringLiteral("Original"), 0, 0, true)};
        settings.selectedPresetID = settings.presets.at(1).id;
        settings.ppiOption = QStringLiteral("Custom");
        settings.customPPI = -5;
        settings.fileSizeLimitEnabled = false;
        settings.fileSizeLimitKB = SettingRules::maxSizeLimitKB + 1;
        settings.quality = 101;
        const auto decoded = ConverterSettings::fromJson(settings.toJson());
        QVERIFY(decoded);
        QCOMPARE(decoded->toJson(), settings.toJson());
        QCOMPARE(decoded->presets, settings.presets);
        QCOMPARE(decoded->selectedPresetID, settings.selectedPresetID);
        QVERIFY(!ConverterSettings::fromJson(ConverterSettings().toJson())->selectedPresetID);
    }

    /// A document decodes as a whole (read back: quality, customPPI, selection, preserveOriginal)
    /// or not at all.
    void reads_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("read"); // empty: the document is refused
        QTest::newRow("valid") << document << QStringLiteral("70 240 selected 0");
        QTest::newRow("selection null") << with(R"("3F2504E0-4F89-11D3-9A0C-0305E82C3301")", "null")
                                        << QStringLiteral("70 240 none 0");
        QTest::newRow("preserveOriginal absent")
            << with(R"(,"preserveOriginal":false)", "") << QStringLiteral("70 240 selected 0");
        QTest::newRow("preserveOriginal true")
            << with("false}", "true}") << QStringLiteral("70 240 selected 1");
        QTest::newRow("integer beyond a double's precision")
            << with("240", "9007199254740993") << QStringLiteral("70 9007199254740993 selected 0");
        QTest::newRow("whole number in exponent form, lowest 64-bit")
            << with("240", "-9.223372036854775808e18")
            << QStringLiteral("70 -9223372036854775808 selected 0");
        const auto fails = [](const char *name, const QByteArray &json) {
            QTest::newRow(name) << json << QString();
        };
        fails("not json", "{presets:");
        fails("array", "[]");
        fails("presets not a list", with(R"("presets":[)", R"("presets":7,"x":[)"));
        fails("preset not an object", with(R"("presets":[)", R"("presets":[1,)"));
        fails("first 64-bit number too large", with("240", "9.223372036854775808e18"));
        fails("quality fraction", with(R"("quality":70)", R"("quality":70.5)"));
        fails("quality as text", with(R"("quality":70)", R"("quality":"70")"));
        fails("selection braced", with("PresetID\":\"", "PresetID\":\"{"));
        fails("selection a number", with(R"("3F2504E0-4F89-11D3-9A0C-0305E82C3301")", "7"));
        fails("preset id short", with("3f2504e0-", "3f2504e-"));
        fails("preserveOriginal as text", with("false}", "\"no\"}"));
        for (const char *key :
             {"ppiOption", "customPPI", "fileSizeLimitEnabled", "fileSizeLimitKB", "quality"})
            QTest::addRow("no %s", key)
                << QByteArray(document).replace(key, QByteArray(key) + "_") << QString();
        for (const char *key : {"id", "name", "width", "height"})
            QTest::addRow("preset without %s", key)
                << QByteArray(document).replace('"' + QByteArray(key) + '"', "\"x\"") << QString();
    }

    void reads()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, read);
        const auto decoded = ConverterSettings::fromJson(json);
        QCOMPARE(decoded.has_value(), !read.isEmpty());
        if (decoded)
            QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                         .arg(decoded->quality)
                         .arg(decoded->customPPI)
                         .arg(QLatin1String(decoded->selectedPresetID ? "selected" : "none"))
                         .arg(decoded->presets.value(0).preserveOriginal),
                     read);
    }

    /// Each rule at its edges, and what a run makes of a stored value outside it.
    void rules_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("expected");
        using namespace SettingRules;
        const QString quality = QStringLiteral("Quality must be from 1 to 100.");
        const QString size = QStringLiteral("The size limit must be from 1 to 2097151 KB.");
        QTest::newRow("quality 0") << qualityError(0) << quality;
        QTest::newRow("quality 1") << qualityError(1) << QString();
        QTest::newRow("quality 100") << qualityError(100) << QString();
        QTest::newRow("quality 101") << qualityError(101) << quality;
        QTest::newRow("size 0 KB") << sizeLimitError(0) << size;
        QTest::newRow("size 2097151 KB") << sizeLimitError(2'097'151) << QString();
        QTest::newRow("size 2097152 KB") << sizeLimitError(2'097'152) << size;
        QTest::newRow("ppi 0") << ppiError(0) << QStringLiteral("PPI must be 1 or more.");
        QTest::newRow("ppi 1") << ppiError(1) << QString();
        QTest::newRow("width 0") << sideError(QStringLiteral("Width"), 0)
                                 << QStringLiteral("Width must be from 1 to 16383 pixels.");
        QTest::newRow("height 16383") << sideError(QStringLiteral("Height"), 16383) << QString();
        QTest::newRow("blank name")
            << presetNameError(QStringLiteral(" ")) << QStringLiteral("Name must not be empty.");
        QTest::newRow("name") << presetNameError(QStringLiteral("Web")) << QString();
        QTest::newRow("usable quality") << QString::number(usableQuality(0)) << QStringLiteral("1");
        QTest::newRow("usable size")
            << QString::number(usableSizeLimitKB(std::numeric_limits<qint64>::max()))
            << QStringLiteral("2097151");
        const auto ppiOption = [](const char *text) {
            const auto option = PPIOptions::fromRawValue(QString::fromLatin1(text));
            return option ? PPIOptions::rawValue(*option) : QStringLiteral("none");
        };
        QTest::newRow("PPI option 300") << ppiOption("300") << QStringLiteral("300");
        QTest::newRow("PPI option custom") << ppiOption("custom") << QStringLiteral("none");
    }

    void rules()
    {
        QFETCH(QString, error);
        QFETCH(QString, expected);
        QCOMPARE(error, expected);
    }
};

QTEST_GUILESS_MAIN(TestConverterSettings)
#include "tst_convertersettings.moc"
