#include "presetform.h"
#include "windowharness.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAddPresetSheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each field says what is wrong with it; Add is enabled exactly when none does. The sheet
    // opens with the cursor in Name and Tab goes Name, Width, Height, Add. Return adds a valid
    // preset; an invalid one stays until Escape or Cancel, which empty the fields.
    void fieldsSayWhatIsWrong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("nameError");
        QTest::addColumn<QString>("sizeError");
        QTest::addColumn<bool>("byEscape");
        const QString ok, nan = u"Width must be a whole number of pixels."_s;
        const QString range = u"Width must be from 1 to 16383 pixels."_s;
        const QString web = u"Web"_s;
        QTest::newRow("valid") << web << u"1200"_s << u"800"_s << ok << ok << false;
        QTest::newRow("plus sign") << web << u"+640"_s << u"800"_s << ok << ok << false;
        QTest::newRow("largest") << web << u"16383"_s << u"16383"_s << ok << ok << false;
        QTest::newRow("blank name")
            << u" "_s << u"6"_s << u"8"_s << u"Name must not be empty."_s << ok << true;
        QTest::newRow("letters") << web << u"abc"_s << u"800"_s << ok << nan << false;
        QTest::newRow("leading space") << web << u" 640"_s << u"800"_s << ok << nan << true;
        QTest::newRow("group separator") << web << u"1,200"_s << u"800"_s << ok << nan << false;
        QTest::newRow("overflow") << web << QString(20, u'9') << u"800"_s << ok << nan << true;
        QTest::newRow("other digits")
            << web << u"\u0666\u0664\u0660"_s << u"8"_s << ok << nan << false;
        QTest::newRow("exponent") << web << u"6.4e2"_s << u"800"_s << ok << nan << true;
        QTest::newRow("zero") << web << u"0"_s << u"800"_s << ok << range << false;
        QTest::newRow("negative") << web << u"-5"_s << u"800"_s << ok << range << true;
        QTest::newRow("too wide") << web << u"100000"_s << u"800"_s << ok << range << false;
        QTest::newRow("both sides")
            << web << u"0"_s << u"-5"_s << ok
            << range + u"\nHeight must be from 1 to 16383 pixels."_s << true;
    }
    void fieldsSayWhatIsWrong()
    {
        QFETCH(QString, name);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, nameError);
        QFETCH(QString, sizeError);
        QFETCH(bool, byEscape);
        const bool valid = nameError.isEmpty() && sizeError.isEmpty();
        WindowHarness w;
        QQuickItem *nameField = w.item(u"presetNameFieldInput"_s);
        QQuickItem *widthField = w.item(u"presetWidthFieldInput"_s);
        QQuickItem *heightField = w.item(u"presetHeightFieldInput"_s);
        QQuickItem *add = w.item(u"addPresetButton"_s);
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(nameField->isVisible() && nameField->hasActiveFocus());
        w.type(name);
        w.pressKey(Qt::Key_Tab);
        QVERIFY(widthField->hasActiveFocus());
        w.typeInto(widthField, width);
        w.typeInto(heightField, height);
        w.pressKey(Qt::Key_Tab);
        QCOMPARE(add->hasActiveFocus(), valid);

        QQuickItem *nameError_ =
            w.item(u"presetNameField"_s)->findChild<QQuickItem *>(u"fieldError"_s);
        QCOMPARE(nameError_->isVisible() ? nameError_->property("text").toString() : QString(),
                 nameError);
        QCOMPARE(w.text(u"sizeError"_s), sizeError);
        QCOMPARE(add->isEnabled(), valid);

        // Return presses Add too; it must do no more than the button.
        w.typeInto(heightField, height);
        w.pressKey(Qt::Key_Return);
        const auto presets = w.converter()->settings().presets;
        QCOMPARE(presets.size(), valid ? 1 : 0);
        QCOMPARE(w.contentView()->property("showAddPreset").toBool(), !valid);
        if (valid) {
            QCOMPARE(presets.first().name, name);
            QCOMPARE(presets.first().width, *PresetForm::parseInteger(width));
            QCOMPARE(presets.first().height, *PresetForm::parseInteger(height));
            QVERIFY(w.converter()->hasSelectedPreset());
        } else {
            QCOMPARE(w.contentView()->property("newPresetName").toString(), name);
            if (byEscape)
                w.pressKey(Qt::Key_Escape);
            else
                w.click(w.item(u"cancelPresetButton"_s));
            QCOMPARE(w.contentView()->property("showAddPreset").toBool(), false);
            QTRY_VERIFY(!w.find(u"addPresetSheet"_s)->property("visible").toBool());
            QVERIFY(w.converter()->settings().presets.isEmpty());
        }
        // It opens empty the next time.
        w.contentView()->setProperty("showAddPreset", true);
        QTRY_VERIFY(nameField->isVisible() && nameField->hasActiveFocus());
        QCOMPARE(nameField->property("text").toString(), QString());
        QCOMPARE(widthField->property("text").toString(), QString());
    }
};

QTEST_MAIN(TestAddPresetSheet)
#include "tst_addpresetsheet.moc"
