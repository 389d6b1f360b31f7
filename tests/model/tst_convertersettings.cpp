#include "convertersettings.h"
#include "ppioption.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestConverterSettings : public QObject
{
    Q_OBJECT

private:
    static QByteArray validDocument()
    {
        return R"({"presets":[{"id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","name":"Web",)"
               R"("width":1920,"height":1080,"preserveOriginal":false}],)"
               R"("selectedPresetID":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","ppiOption":"96",)"
               R"("customPPI":240,"fileSizeLimitEnabled":false,"fileSizeLimitKB":500,"quality":70})";
    }

private Q_SLOTS:
    void freshRecordRoundTrips()
    {
        const ConverterSettings fresh;
        const QJsonObject object = QJsonDocument::fromJson(fresh.toJson()).object();
        QCOMPARE(object.size(), 6);
        QVERIFY(!object.contains(QStringLiteral("selectedPresetID")));

        const auto decoded = ConverterSettings::fromJson(fresh.toJson());
        QVERIFY(decoded);
        QVERIFY(decoded->presets.isEmpty());
        QVERIFY(!decoded->selectedPresetID);
        QCOMPARE(decoded->ppiOption, QStringLiteral("72"));
        QCOMPARE(decoded->customPPI, 72);
        QCOMPARE(decoded->fileSizeLimitEnabled, true);
        QCOMPARE(decoded->fileSizeLimitKB, 300);
        QCOMPARE(decoded->quality, 85);
    }

    void roundTripKeepsOrderIdsAndSelection()
    {
        ConverterSettings settings;
        settings.presets = {ResolutionPreset::make(QStringLiteral("B"), 10, 20, false),
                            ResolutionPreset::make(QStringLiteral("Original"), 0, 0, true),
                            ResolutionPreset::make(QStringLiteral("A"), -5, 0, false)};
        settings.selectedPresetID = settings.presets.at(1).id;
        settings.ppiOption = QStringLiteral("custom");
        settings.customPPI = std::numeric_limits<qint64>::max();
        settings.fileSizeLimitKB = std::numeric_limits<qint64>::min();

        const QByteArray json = settings.toJson();
        const QString selectedText = settings.selectedPresetID->toString(QUuid::WithoutBraces);
        QVERIFY(json.contains(selectedText.toUpper().toUtf8()));
        QVERIFY(!json.contains(selectedText.toLower().toUtf8()) ||
                selectedText.toLower() == selectedText.toUpper());
        QVERIFY(!json.contains('\n'));

        const auto decoded = ConverterSettings::fromJson(json);
        QVERIFY(decoded);
        QCOMPARE(decoded->presets, settings.presets);
        QCOMPARE(decoded->selectedPresetID, settings.selectedPresetID);
        QCOMPARE(decoded->ppiOption, settings.ppiOption);
        QCOMPARE(decoded->customPPI, settings.customPPI);
        QCOMPARE(decoded->fileSizeLimitKB, settings.fileSizeLimitKB);
    }

    void tolerantReads_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("hasSelection");
        QTest::addColumn<bool>("preserveOriginal");

        QByteArray doc = validDocument();
        QTest::newRow("valid") << doc << true << false;
        QTest::newRow("selection null")
            << QByteArray(doc).replace(
                   R"("selectedPresetID":"3F2504E0-4F89-11D3-9A0C-0305E82C3301")",
                   R"("selectedPresetID":null)")
            << false << false;
        QTest::newRow("lower-case ids")
            << QByteArray(doc).replace("3F2504E0-4F89-11D3-9A0C-0305E82C3301",
                                       "3f2504e0-4f89-11d3-9a0c-0305e82c3301")
            << true << false;
        QTest::newRow("preserveOriginal absent")
            << QByteArray(doc).replace(R"(,"preserveOriginal":false)", "") << true << false;
        QTest::newRow("preserveOriginal null")
            << QByteArray(doc).replace(R"("preserveOriginal":false)", R"("preserveOriginal":null)")
            << true << false;
        QTest::newRow("preserveOriginal true")
            << QByteArray(doc).replace(R"("preserveOriginal":false)", R"("preserveOriginal":true)")
            << true << true;
        QTest::newRow("unknown keys ignored")
            << QByteArray(doc).replace(R"("quality":70)", R"("quality":70,"future":{"x":[1]})")
            << true << false;
        QTest::newRow("keys in another order")
            << QByteArray(
                   R"({"quality":70,"fileSizeLimitKB":500,"fileSizeLimitEnabled":false,)"
                   R"("customPPI":240,"ppiOption":"96","presets":[{"preserveOriginal":false,)"
                   R"("height":1080,"width":1920,"name":"Web","id":"3F2504E0-4F89-11D3-9A0C-)"
                   R"(0305E82C3301"}],"selectedPresetID":"3F2504E0-4F89-11D3-9A0C-0305E82C3301"})")
            << true << false;
    }

    void tolerantReads()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, hasSelection);
        QFETCH(bool, preserveOriginal);

        const auto decoded = ConverterSettings::fromJson(json);
        QVERIFY(decoded);
        QCOMPARE(decoded->presets.size(), 1);
        QCOMPARE(decoded->presets.first().name, QStringLiteral("Web"));
        QCOMPARE(decoded->presets.first().width, 1920);
        QCOMPARE(decoded->presets.first().preserveOriginal, preserveOriginal);
        QCOMPARE(decoded->selectedPresetID.has_value(), hasSelection);
        QCOMPARE(decoded->quality, 70);
    }

    void documentsThatFailAsAWhole_data()
    {
        QTest::addColumn<QByteArray>("json");
        const QByteArray doc = validDocument();
        const auto without = [&](const char *pair) { return QByteArray(doc).replace(pair, ""); };
        const auto with = [&](const char *from, const char *to) {
            return QByteArray(doc).replace(from, to);
        };

        QTest::newRow("not json") << QByteArray("{presets:");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("no quality") << without(R"(,"quality":70)");
        QTest::newRow("no presets") << with(R"("presets":[)", R"("other":[)");
        QTest::newRow("no ppiOption") << without(R"("ppiOption":"96",)");
        QTest::newRow("no customPPI") << without(R"("customPPI":240,)");
        QTest::newRow("no limit switch") << without(R"("fileSizeLimitEnabled":false,)");
        QTest::newRow("no limit") << without(R"("fileSizeLimitKB":500,)");
        QTest::newRow("quality as string") << with(R"("quality":70)", R"("quality":"70")");
        QTest::newRow("quality fraction") << with(R"("quality":70)", R"("quality":70.5)");
        QTest::newRow("quality null") << with(R"("quality":70)", R"("quality":null)");
        QTest::newRow("quality beyond 64 bits")
            << with(R"("quality":70)", R"("quality":9223372036854775808)");
        QTest::newRow("quality huge") << with(R"("quality":70)", R"("quality":1e300)");
        QTest::newRow("limit switch as number")
            << with(R"("fileSizeLimitEnabled":false)", R"("fileSizeLimitEnabled":0)");
        QTest::newRow("ppiOption as number") << with(R"("ppiOption":"96")", R"("ppiOption":96)");
        QTest::newRow("presets as object") << with(R"("presets":[)", R"("presets":{"a":)");
        QTest::newRow("selection malformed")
            << with(R"("selectedPresetID":"3F2504E0)", R"("selectedPresetID":"{3F2504E0)");
        QTest::newRow("selection number") << with(R"("selectedPresetID":"3F2504E0-4F89-11D3-)"
                                                  R"(9A0C-0305E82C3301")",
                                                  R"("selectedPresetID":5)");
        QTest::newRow("preset id without hyphens")
            << with(R"("id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301")",
                    R"("id":"3F2504E04F8911D39A0C0305E82C3301")");
        QTest::newRow("preset id braced")
            << with(R"("id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301")",
                    R"("id":"{3F2504E0-4F89-11D3-9A0C-0305E82C3301}")");
        QTest::newRow("preset without name") << without(R"("name":"Web",)");
        QTest::newRow("preset width fraction") << with(R"("width":1920)", R"("width":1920.25)");
        QTest::newRow("preset height string") << with(R"("height":1080)", R"("height":"1080")");
        QTest::newRow("preset preserveOriginal string")
            << with(R"("preserveOriginal":false)", R"("preserveOriginal":"false")");
        QTest::newRow("one bad preset of two") << with(
            R"("presets":[)", R"("presets":[{"id":"x","name":"Bad","width":1,"height":1},)");
        QTest::newRow("preset not an object") << with(R"("presets":[)", R"("presets":[7,)");
    }

    void documentsThatFailAsAWhole()
    {
        QFETCH(QByteArray, json);
        QVERIFY(!ConverterSettings::fromJson(json));
    }

    void ppiOptionFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("option");
        QTest::newRow("72") << QStringLiteral("72") << int(PPIOption::ppi72);
        QTest::newRow("300") << QStringLiteral("300") << int(PPIOption::ppi300);
        QTest::newRow("Custom") << QStringLiteral("Custom") << int(PPIOption::custom);
        QTest::newRow("custom") << QStringLiteral("custom") << -1;
        QTest::newRow("leading space") << QStringLiteral(" 72") << -1;
        QTest::newRow("600") << QStringLiteral("600") << -1;
        QTest::newRow("empty") << QString() << -1;
    }

    void ppiOptionFromText()
    {
        QFETCH(QString, text);
        QFETCH(int, option);
        const auto parsed = PPIOptions::fromRawValue(text);
        QCOMPARE(parsed ? int(*parsed) : -1, option);
        if (parsed)
            QCOMPARE(PPIOptions::rawValue(*parsed), text);
    }

    void presetEqualityAndHash()
    {
        const auto a = ResolutionPreset::make(QStringLiteral("A"), 1, 2, false);
        ResolutionPreset b = a;
        QCOMPARE(a, b);
        QCOMPARE(qHash(a), qHash(b));
        b.preserveOriginal = true;
        QVERIFY(a != b);
        b = a;
        b.name = QStringLiteral("B");
        QVERIFY(a != b);
        QVERIFY(ResolutionPreset::make(QStringLiteral("A"), 1, 2, false) != a);
    }
};

QTEST_GUILESS_MAIN(TestConverterSettings)
#include "tst_convertersettings.moc"
