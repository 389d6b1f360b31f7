#include "imageconverter.h"
#include "testsupport.h"

#include <QTest>

class TestImageConverter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placeholder()
    {
        TemporaryPreferences prefs;
        ImageConverter c;
        QVERIFY(c.files().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestImageConverter)
#include "tst_imageconverter.moc"
