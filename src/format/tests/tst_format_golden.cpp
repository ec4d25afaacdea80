// Whole-article reference outputs: the sample pages formatted with the fixed
// settings and typo library of golden/, compared byte for byte. Run with
// ZORVANE_UPDATE_GOLDEN=1 to rewrite the references after a deliberate
// change, then read the difference before committing it.
#include "format/format_html.h"
#include "settings/config_snapshot.h"
#include "snapshot/settings_snapshot.h"
#include "testsupport/sample_pages.h"
#include "text/gbk.h"
#include "text/text_file.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

class TestFormatGolden : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplePages_matchReference_data();
    void samplePages_matchReference();
};

void TestFormatGolden::samplePages_matchReference_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("reference");
    if (sampleArticlesFolder().isEmpty())
        QSKIP(sampleSkipMessage());
    const QDir articles(sampleArticlesFolder());
    const QStringList samples = articles.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QVERIFY2(!samples.isEmpty(), "no sample pages found");
    for (const QString &sample : samples) {
        for (const QString &file : {u"source"_s, u"expected"_s}) {
            for (const int mode : {1, 2}) {
                const QString name = u"%1_%2.mode%3.html"_s.arg(sample, file).arg(mode);
                QTest::newRow(qPrintable(name)) << articles.filePath(sample + u'/' + file + u".html"_s) << mode
                                                << QString::fromUtf8(ZORVANE_GOLDEN_DIR "/") + name;
            }
        }
    }
}

void TestFormatGolden::samplePages_matchReference()
{
    QFETCH(QString, input);
    QFETCH(int, mode);
    QFETCH(QString, reference);

    // The settings (kept in UTF-8 here, stored in GBK by the programs) and the
    // typo library as a command reads them.
    QFile settingsFile(QString::fromUtf8(ZORVANE_GOLDEN_DIR "/settings.ini"));
    QVERIFY(settingsFile.open(QIODevice::ReadOnly));
    const SettingsSnapshot settings =
        readSettingsSnapshot(ConfigSnapshot::fromBytes(toGbk(QString::fromUtf8(settingsFile.readAll()))));
    const QString library = readTextFile(QString::fromUtf8(ZORVANE_GOLDEN_DIR "/error.dat"));
    QVERIFY(!library.isEmpty());

    const QString html = readTextFile(input);
    QVERIFY(!html.isEmpty());
    const QByteArray actual =
        FormatHtml(html, FormatMode(mode), settings.format, settings.checks, TypoIndex(library)).toUtf8();

    if (qEnvironmentVariableIsSet("ZORVANE_UPDATE_GOLDEN")) {
        QVERIFY(writeFileAtomically(reference, actual));
        QSKIP("reference rewritten");
    }
    QFile expected(reference);
    QVERIFY2(expected.open(QIODevice::ReadOnly), qPrintable(reference));
    QCOMPARE(actual, expected.readAll());
}

QTEST_GUILESS_MAIN(TestFormatGolden)
#include "tst_format_golden.moc"
