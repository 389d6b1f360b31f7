#include "convertersettings.h"
#include "ppioption.h"
#include "settingrules.h"
#include "sizetext.h"
#include "testsupport.h"

#include <QTest>

using namespace Qt::StringLiterals;

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
                            ResolutionPreset::make(u"Original"_s, 0, 0, true),
                            ResolutionPreset::make(u"Square"_s, 64, 64, false)};
        settings.presets[0].resizeMode = ResizeMode::fill;
        settings.presets[2].shrinkOnly = true;
        settings.selectedPresetID = settings.presets.at(1).id;
        settings.ppiOption = u"Custom"_s;
        settings.customPPI = -5;
        settings.fileSizeLimitEnabled = false;
        settings.fileSizeLimitKB = SettingRules::maxSizeLimitKB + 1;
        settings.quality = 101;
        settings.output = {true, true, true};
        settings.keepLocation = true;
        settings.effort = EncoderEffort::fast;
        const auto decoded = ConverterSettings::fromJson(settings.toJson());
        QVERIFY(decoded);
        QCOMPARE(decoded->toJson(), settings.toJson());
        QCOMPARE(decoded->presets, settings.presets);
        QCOMPARE(decoded->selectedPresetID, settings.selectedPresetID);
        QCOMPARE(decoded->output, settings.output);
        QCOMPARE(decoded->keepLocation, true);
        QCOMPARE(decoded->keepPhotoDetails, false);
        QCOMPARE(decoded->effort, settings.effort);
        QVERIFY(!ConverterSettings::fromJson(ConverterSettings().toJson())->selectedPresetID);
    }

    /// A document decodes as a whole or not at all; one from before resize modes and effort
    /// reads as stretch and best, and what decodes is saved back with every key.
    void reads_data() { addRowsFrom("settings-documents.txt", {"from", "to", "read"}); }

    void reads()
    {
        const auto [from, to, read] = fields("from", "to", "read");
        QString json =
            uR"({"presets":[{"id":"3f2504e0-4f89-11d3-9a0c-0305e82c3301","name":"Web",)"
            uR"("width":1920,"height":1080,"preserveOriginal":false}],"selectedPresetID":)"
            uR"("3F2504E0-4F89-11D3-9A0C-0305E82C3301","ppiOption":"96","customPPI":240,)"
            uR"("fileSizeLimitEnabled":false,"fileSizeLimitKB":500,"quality":70})"_s;
        if (!from.isEmpty())
            json.replace(from, to);
        const auto decoded = ConverterSettings::fromJson(json.toUtf8());
        QCOMPARE(decoded.has_value(), !read.isEmpty());
        if (!decoded)
            return;
        const auto describe = [](const ConverterSettings &settings) {
            const ResolutionPreset preset = settings.presets.value(0);
            // The switches follow by name when they are on.
            QString options;
            for (const auto &[on, name] : {std::pair{settings.firstFrameOnly, u" firstFrameOnly"_s},
                                           std::pair{settings.keepPhotoDetails, u" details"_s},
                                           std::pair{settings.keepLocation, u" location"_s},
                                           std::pair{settings.output.keepFolders, u" folders"_s},
                                           std::pair{settings.output.skipExisting, u" skip"_s},
                                           std::pair{settings.output.keepDates, u" dates"_s}})
                options += on ? name : QString();
            return u"%1 %2 %3 %4 %5 %6 %7%8; %9"_s.arg(settings.quality)
                .arg(settings.customPPI)
                .arg(settings.selectedPresetID ? u"selected"_s : u"none"_s)
                .arg(preset.preserveOriginal)
                .arg(ResizeModes::rawValue(preset.resizeMode))
                .arg(preset.shrinkOnly)
                .arg(EncoderEfforts::rawValue(settings.effort), options, preset.sizeText());
        };
        // A row may leave out the first preset's size text.
        const QString described = describe(*decoded);
        QVERIFY2(described == read || described.startsWith(read + u';'), qPrintable(described));
        // Saved again, a document holds every key of this version; read again, the same values.
        const QByteArray saved = decoded->toJson();
        for (const char *key :
             {"\"resizeMode\":", "\"shrinkOnly\":", "\"encoderEffort\":", "\"keepFolders\":",
              "\"skipExistingOutputs\":", "\"keepFileDates\":", "\"firstFrameOnly\":",
              "\"keepPhotoDetails\":", "\"keepLocation\":"})
            QVERIFY2(saved.contains(key), key);
        QCOMPARE(describe(*ConverterSettings::fromJson(saved)), described);
    }

    void rules_data() { addRowsFrom("setting-rules.txt", {"rule", "value", "expected"}); }

    void rules()
    {
        auto [rule, value, expected] = fields("rule", "value", "expected");
        using namespace SettingRules;
        const qint64 number = value.toLongLong();
        const QString result = [&]() -> QString {
            if (rule == u"quality")
                return qualityError(number);
            if (rule == u"size")
                return sizeLimitError(number);
            if (rule == u"ppi")
                return ppiError(number);
            if (rule == u"side")
                return sideError(u"Side"_s, number);
            if (rule == u"name")
                return presetNameError(value.replace(u"\\s"_s, u" "_s));
            if (rule == u"ppi option") {
                const auto option = PPIOptions::fromRawValue(value);
                return option ? PPIOptions::rawValue(*option) : u"none"_s;
            }
            if (rule == u"usable quality")
                return QString::number(usableQuality(number));
            if (rule == u"total size")
                return SizeText::total(number);
            return QString::number(usableSizeLimitKB(number));
        }();
        QCOMPARE(result, expected);
    }
};

QTEST_GUILESS_MAIN(TestConverterSettings)
#include "tst_convertersettings.moc"
