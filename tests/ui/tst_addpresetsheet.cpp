#include "presetform.h"
#include "windowharness.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAddPresetSheet : public QObject
{
    Q_OBJECT

    QQuickItem *sheetField(WindowHarness &w, const char *name)
    {
        return qobject_cast<QQuickItem *>(w.find(QString::fromLatin1(name)));
    }

private Q_SLOTS:
    void parsesWholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << u"640"_s << true << qint64(640);
        QTest::newRow("plus sign") << u"+640"_s << true << qint64(640);
        QTest::newRow("minus sign") << u"-10"_s << true << qint64(-10);
        QTest::newRow("zero") << u"0"_s << true << qint64(0);
        QTest::newRow("largest") << u"9223372036854775807"_s << true
                                 << std::numeric_limits<qint64>::max();
        QTest::newRow("smallest") << u"-9223372036854775808"_s << true
                                  << std::numeric_limits<qint64>::min();
        QTest::newRow("empty") << u""_s << false << qint64(0);
        QTest::newRow("sign alone") << u"+"_s << false << qint64(0);
        QTest::newRow("two signs") << u"+-5"_s << false << qint64(0);
        QTest::newRow("leading space") << u" 640"_s << false << qint64(0);
        QTest::newRow("trailing space") << u"640 "_s << false << qint64(0);
        QTest::newRow("unit") << u"640px"_s << false << qint64(0);
        QTest::newRow("exponent") << u"6.4e2"_s << false << qint64(0);
        QTest::newRow("group separator") << u"1,200"_s << false << qint64(0);
        QTest::newRow("twenty nines") << QString(20, u'9') << false << qint64(0);
        QTest::newRow("one past largest") << u"9223372036854775808"_s << false << qint64(0);
        QTest::newRow("arabic-indic digits") << u"\u0666\u0664\u0660"_s << false << qint64(0);
    }
    void parsesWholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(qint64, value);
        const auto parsed = PresetForm::parseInteger(text);
        QCOMPARE(parsed.has_value(), isNumber);
        if (isNumber)
            QCOMPARE(*parsed, value);
    }

    void addEnablesAndAddsThroughTheSheet_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("width");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("added");
        QTest::newRow("valid") << u"Web"_s << u"1200"_s << true << true;
        QTest::newRow("plus sign") << u"Web"_s << u"+640"_s << true << true;
        QTest::newRow("blank name") << u" "_s << u"640"_s << true << true;
        QTest::newRow("no name") << u""_s << u"640"_s << false << false;
        QTest::newRow("leading space") << u"Web"_s << u" 640"_s << false << false;
        QTest::newRow("unit") << u"Web"_s << u"640px"_s << false << false;
        QTest::newRow("exponent") << u"Web"_s << u"6.4e2"_s << false << false;
        QTest::newRow("group separator") << u"Web"_s << u"1,200"_s << false << false;
        QTest::newRow("overflow") << u"Web"_s << QString(20, u'9') << false << false;
        QTest::newRow("zero") << u"Web"_s << u"0"_s << true << false;
        QTest::newRow("negative") << u"Web"_s << u"-10"_s << true << false;
    }
    void addEnablesAndAddsThroughTheSheet()
    {
        QFETCH(QString, name);
        QFETCH(QString, width);
        QFETCH(bool, enabled);
        QFETCH(bool, added);

        WindowHarness w;
        QVERIFY(w.isLoaded());
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(w.findVisible(QStringLiteral("presetNameField")));

        w.typeInto(sheetField(w, "presetNameField"), name);
        w.typeInto(sheetField(w, "presetWidthFieldInput"), width);
        w.typeInto(sheetField(w, "presetHeightFieldInput"), QStringLiteral("800"));
        QCOMPARE(w.contentView()->property("newPresetWidth").toString(), width);

        auto *add = sheetField(w, "addPresetButton");
        QCOMPARE(add->isEnabled(), enabled);
        // Return presses Add too; it must do no more than the button.
        w.pressKey(Qt::Key_Return);
        if (!added && enabled)
            w.click(add);

        const auto presets = w.converter()->settings().presets;
        QCOMPARE(presets.size(), added ? 1 : 0);
        QCOMPARE(w.contentView()->property("showAddPreset").toBool(), !added);
        if (added) {
            QCOMPARE(presets.first().name, name);
            QCOMPARE(presets.first().width, *PresetForm::parseInteger(width));
            QCOMPARE(presets.first().height, 800);
            QVERIFY(w.converter()->hasSelectedPreset());
            QCOMPARE(w.contentView()->property("newPresetName").toString(), QString());
            QCOMPARE(w.contentView()->property("newPresetWidth").toString(), QString());
            QCOMPARE(w.contentView()->property("newPresetHeight").toString(), QString());
        } else {
            QCOMPARE(w.contentView()->property("newPresetName").toString(), name);
        }
    }

    void everyWayOutEmptiesTheFields_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Escape") << true;
    }
    void everyWayOutEmptiesTheFields()
    {
        QFETCH(bool, byEscape);
        WindowHarness w;
        QVERIFY(w.isLoaded());
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(w.findVisible(QStringLiteral("presetNameField")));
        w.typeInto(sheetField(w, "presetNameField"), QStringLiteral("Web"));
        w.typeInto(sheetField(w, "presetWidthFieldInput"), QStringLiteral("1200"));

        if (byEscape)
            w.pressKey(Qt::Key_Escape);
        else
            w.click(sheetField(w, "cancelPresetButton"));

        QCOMPARE(w.contentView()->property("showAddPreset").toBool(), false);
        QTRY_VERIFY(!w.find(QStringLiteral("addPresetSheet"))->property("visible").toBool());
        QCOMPARE(w.contentView()->property("newPresetName").toString(), QString());
        QCOMPARE(w.contentView()->property("newPresetWidth").toString(), QString());
        QVERIFY(w.converter()->settings().presets.isEmpty());

        // It opens empty the next time.
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(w.findVisible(QStringLiteral("presetNameField")));
        QCOMPARE(sheetField(w, "presetNameField")->property("text").toString(), QString());
        QCOMPARE(sheetField(w, "presetWidthFieldInput")->property("text").toString(), QString());
    }
};

QTEST_MAIN(TestAddPresetSheet)
#include "tst_addpresetsheet.moc"
