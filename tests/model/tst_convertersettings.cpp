#include "convertersettings.h"
#include "ppioption.h"
#include "settingrules.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

const QByteArray document =
    R"({"presets":[{"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","name":"Web","width":1920,)"
    R"("height":1080,"preserveOriginal":false}],"selectedPresetID":"3F2504E0-4F89-11D3-9A0C-)"
    R"(0305E82C3301","ppiOption":"96","customPPI":240,"fileSizeLimitEnabled":false,)"
    R"("fileSizeLimitKB":500,"quality":70})";

QByteArray with(const char *from, const char *to)
{
    return QByteArray(document).replace(from, to);
}

} // namespace

class TestConverterSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip()
    {
        const ConverterSettings fresh;
        const QJsonObject object = QJsonDocument::fromJson(fresh.toJson()).object();
        QCOMPARE(object.keys().join(QLatin1Char(' ')),
                 QStringLiteral("customPPI fileSizeLimitEnabled fileSizeLimitKB ppiOption presets "
                                "quality"));
        QCOMPARE(object.value(QStringLiteral("quality")).toInteger(), 85);

        // Values outside every rule are the user's and survive a save and a load unchanged.
        ConverterSettings settings;
        settings.presets = {ResolutionPreset::make(QString(), 16384, 0, false),
                            ResolutionPreset::make(QStringLiteral("Original"), 0, 0, true)};
        settings.selectedPresetID = settings.presets.at(1).id;
        settings.customPPI = -5;
        settings.fileSizeLimitKB = SettingRules::maxSizeLimitKB + 1;
        settings.quality = 101;
        const QByteArray json = settings.toJson();
        QVERIFY(json.contains(
            settings.selectedPresetID->toString(QUuid::WithoutBraces).toUpper().toLatin1()));
        const auto decoded = ConverterSettings::fromJson(json);
        QVERIFY(decoded);
        QCOMPARE(decoded->presets, settings.presets);
        QCOMPARE(decoded->selectedPresetID, settings.selectedPresetID);
        QCOMPARE(decoded->customPPI, -5);
        QCOMPARE(decoded->fileSizeLimitKB, 2'097'152);
        QCOMPARE(decoded->quality, 101);
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("original");
        const QByteArray id = "3F2504E0-4F89-11D3-9A0C-0305E82C3301";
        QTest::newRow("valid") << document << true << true << false;
        QTest::newRow("selection null")
            << with("PresetID\":\"" + id + "\"", "PresetID\":null") << true << false << false;
        QTest::newRow("preserveOriginal absent")
            << with(R"(,"preserveOriginal":false)", "") << true << true << false;
        QTest::newRow("preserveOriginal true")
            << with(R"("preserveOriginal":false)", R"("preserveOriginal":true)") << true << true
            << true;
        const auto fails = [](const char *name, const QByteArray &json) {
            QTest::newRow(name) << json << false << false << false;
        };
        fails("not json", "{presets:");
        fails("array", "[]");
        fails("no quality", with(R"(,"quality":70)", ""));
        fails("no customPPI", with(R"("customPPI":240,)", ""));
        fails("quality as string", with(R"("quality":70)", R"("quality":"70")"));
        fails("quality fraction", with(R"("quality":70)", R"("quality":70.5)"));
        fails("selection braced", with("PresetID\":\"", "PresetID\":\"{"));
        fails("preset without name", with(R"("name":"Web",)", ""));
        fails("one bad preset of two", with(R"("presets":[)", R"("presets":[{"id":"x"},)"));
    }

    void reads()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QFETCH(bool, selected);
        QFETCH(bool, original);
        const auto decoded = ConverterSettings::fromJson(json);
        QCOMPARE(decoded.has_value(), decodes);
        if (!decoded)
            return;
        QCOMPARE(decoded->quality, 70);
        QCOMPARE(decoded->presets.value(0).width, 1920);
        QCOMPARE(decoded->selectedPresetID.has_value(), selected);
        QCOMPARE(decoded->presets.value(0).preserveOriginal, original);
    }

    void rules_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("allowed");
        using namespace SettingRules;
        QTest::newRow("quality 0") << qualityError(0) << false;
        QTest::newRow("quality 1") << qualityError(1) << true;
        QTest::newRow("quality 100") << qualityError(100) << true;
        QTest::newRow("quality 101") << qualityError(101) << false;
        QTest::newRow("size 0 KB") << sizeLimitError(0) << false;
        QTest::newRow("size 1 KB") << sizeLimitError(1) << true;
        QTest::newRow("size 2097151 KB") << sizeLimitError(2'097'151) << true;
        QTest::newRow("size 2097152 KB") << sizeLimitError(2'097'152) << false;
        QTest::newRow("ppi 0") << ppiError(0) << false;
        QTest::newRow("ppi 1") << ppiError(1) << true;
        QTest::newRow("width 0") << sideError(QStringLiteral("Width"), 0) << false;
        QTest::newRow("width 1") << sideError(QStringLiteral("Width"), 1) << true;
        QTest::newRow("height 16383") << sideError(QStringLiteral("Height"), 16383) << true;
        QTest::newRow("height 16384") << sideError(QStringLiteral("Height"), 16384) << false;
        QTest::newRow("blank name") << presetNameError(QStringLiteral(" ")) << false;
        QTest::newRow("name") << presetNameError(QStringLiteral("Web")) << true;
    }

    void rules()
    {
        QFETCH(QString, error);
        QFETCH(bool, allowed);
        QCOMPARE(error.isEmpty(), allowed);
    }

    /// What a run makes of stored values outside the rules.
    void usableValues()
    {
        QCOMPARE(SettingRules::usableQuality(0), 1);
        QCOMPARE(SettingRules::usableQuality(101), 100);
        QCOMPARE(SettingRules::usableSizeLimitKB(0), 1);
        QCOMPARE(SettingRules::usableSizeLimitKB(std::numeric_limits<qint64>::max()), 2'097'151);
    }

    void ppiOptionFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isOption");
        QTest::newRow("300") << QStringLiteral("300") << true;
        QTest::newRow("Custom") << QStringLiteral("Custom") << true;
        QTest::newRow("custom") << QStringLiteral("custom") << false;
        QTest::newRow("leading space") << QStringLiteral(" 72") << false;
        QTest::newRow("600") << QStringLiteral("600") << false;
    }

    void ppiOptionFromText()
    {
        QFETCH(QString, text);
        QFETCH(bool, isOption);
        const auto option = PPIOptions::fromRawValue(text);
        QCOMPARE(option.has_value(), isOption);
        if (option)
            QCOMPARE(PPIOptions::rawValue(*option), text);
    }
};

QTEST_GUILESS_MAIN(TestConverterSettings)
#include "tst_convertersettings.moc"
