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
    // Each field says what is wrong with it; Add is enabled exactly when none does.
    void fieldsSayWhatIsWrong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("nameError");
        QTest::addColumn<QString>("sizeError");
        const QString none;
        const QString notNumber = u"Width must be a whole number of pixels."_s;
        const QString range = u"Width must be from 1 to 16383 pixels."_s;
        QTest::newRow("valid") << u"Web"_s << u"1200"_s << u"800"_s << none << none;
        QTest::newRow("plus sign") << u"Web"_s << u"+640"_s << u"800"_s << none << none;
        QTest::newRow("largest") << u"Web"_s << u"16383"_s << u"16383"_s << none << none;
        QTest::newRow("blank name")
            << u" "_s << u"640"_s << u"800"_s << u"Name must not be empty."_s << none;
        QTest::newRow("letters") << u"Web"_s << u"abc"_s << u"800"_s << none << notNumber;
        QTest::newRow("leading space") << u"Web"_s << u" 640"_s << u"800"_s << none << notNumber;
        QTest::newRow("group separator") << u"Web"_s << u"1,200"_s << u"800"_s << none << notNumber;
        QTest::newRow("overflow") << u"Web"_s << QString(20, u'9') << u"800"_s << none << notNumber;
        QTest::newRow("arabic-indic digits")
            << u"Web"_s << u"\u0666\u0664\u0660"_s << u"800"_s << none << notNumber;
        QTest::newRow("exponent") << u"Web"_s << u"6.4e2"_s << u"800"_s << none << notNumber;
        QTest::newRow("zero") << u"Web"_s << u"0"_s << u"800"_s << none << range;
        QTest::newRow("negative") << u"Web"_s << u"-5"_s << u"800"_s << none << range;
        QTest::newRow("too wide") << u"Web"_s << u"100000"_s << u"800"_s << none << range;
        QTest::newRow("both sides") << u"Web"_s << u"0"_s << u"-5"_s << none
                                    << range + u"\nHeight must be from 1 to 16383 pixels."_s;
    }
    void fieldsSayWhatIsWrong()
    {
        QFETCH(QString, name);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, nameError);
        QFETCH(QString, sizeError);
        const bool valid = nameError.isEmpty() && sizeError.isEmpty();

        WindowHarness w;
        QVERIFY(w.isLoaded());
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(w.findVisible(QStringLiteral("presetNameFieldInput")));
        // The sheet opens with the cursor in Name.
        QTRY_VERIFY(sheetField(w, "presetNameFieldInput")->hasActiveFocus());
        for (const QChar ch : name)
            QTest::sendKeyEvent(QTest::Click, w.window(), Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
        // Tab goes Name → Width → Height → Add.
        w.pressKey(Qt::Key_Tab);
        QVERIFY(sheetField(w, "presetWidthFieldInput")->hasActiveFocus());
        w.typeInto(sheetField(w, "presetWidthFieldInput"), width);
        w.typeInto(sheetField(w, "presetHeightFieldInput"), height);
        w.pressKey(Qt::Key_Tab);
        QCOMPARE(sheetField(w, "addPresetButton")->hasActiveFocus(), valid);

        auto errorOf = [&](const char *field) {
            QQuickItem *error =
                sheetField(w, field)->findChild<QQuickItem *>(QStringLiteral("fieldError"));
            return error->isVisible() ? error->property("text").toString() : QString();
        };
        QCOMPARE(errorOf("presetNameField"), nameError);
        QCOMPARE(sheetField(w, "sizeError")->property("text").toString(), sizeError);
        auto *add = sheetField(w, "addPresetButton");
        QCOMPARE(add->isEnabled(), valid);

        // Return presses Add too; it must do no more than the button.
        w.typeInto(sheetField(w, "presetHeightFieldInput"), height);
        w.pressKey(Qt::Key_Return);
        const auto presets = w.converter()->settings().presets;
        QCOMPARE(presets.size(), valid ? 1 : 0);
        QCOMPARE(w.contentView()->property("showAddPreset").toBool(), !valid);
        if (valid) {
            QCOMPARE(presets.first().name, name);
            QCOMPARE(presets.first().width, *PresetForm::parseInteger(width));
            QCOMPARE(presets.first().height, *PresetForm::parseInteger(height));
            QVERIFY(w.converter()->hasSelectedPreset());
            QCOMPARE(w.contentView()->property("newPresetName").toString(), QString());
            QCOMPARE(w.contentView()->property("newPresetWidth").toString(), QString());
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
        QTRY_VERIFY(w.findVisible(QStringLiteral("presetNameFieldInput")));
        w.typeInto(sheetField(w, "presetNameFieldInput"), QStringLiteral("Web"));
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
        QTRY_VERIFY(w.findVisible(QStringLiteral("presetNameFieldInput")));
        QCOMPARE(sheetField(w, "presetNameFieldInput")->property("text").toString(), QString());
        QCOMPARE(sheetField(w, "presetWidthFieldInput")->property("text").toString(), QString());
    }
};

QTEST_MAIN(TestAddPresetSheet)
#include "tst_addpresetsheet.moc"
