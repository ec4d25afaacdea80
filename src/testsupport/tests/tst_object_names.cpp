#include "testsupport/object_names.h"

#include <QDialog>
#include <QHash>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

// Builds the objects of paths under root: "frm1/cmdA" is cmdA inside frm1
// (one frm1 for every path that starts with it); a name starting with "!" is
// a dialog of its own, one starting with "@" a timer.
void build(QWidget *root, const QStringList &paths)
{
    QHash<QString, QObject *> made;
    for (const QString &path : paths) {
        QObject *parent = root;
        QString prefix;
        for (const QString &step : path.split(u'/')) {
            prefix += u'/' + step;
            if (QObject *existing = made.value(prefix)) {
                parent = existing;
                continue;
            }
            QObject *object = nullptr;
            if (step.startsWith(u'!'))
                object = new QDialog(static_cast<QWidget *>(parent));
            else if (step.startsWith(u'@'))
                object = new QTimer(parent);
            else
                object = new QWidget(static_cast<QWidget *>(parent));
            object->setObjectName(step.startsWith(u'!') || step.startsWith(u'@') ? step.mid(1) : step);
            made.insert(prefix, object);
            parent = object;
        }
    }
}

} // namespace

class TestObjectNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void duplicatedObjectNames_data();
    void duplicatedObjectNames();
};

void TestObjectNames::duplicatedObjectNames_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("controlArrays");
    QTest::addColumn<QStringList>("duplicated");

    QTest::newRow("every name once") << QStringList{u"frm1/cmdA"_s, u"frm1/cmdB"_s, u"frm2/cmdC"_s} << QStringList()
                                     << QStringList();
    QTest::newRow("one name in two panels")
        << QStringList{u"frm1/chkHeadSpace"_s, u"frm1/chkHref"_s, u"frm2/chkHeadSpace"_s, u"chkHref"_s} << QStringList()
        << QStringList{u"chkHeadSpace"_s, u"chkHref"_s};
    QTest::newRow("a dialog's controls are its own")
        << QStringList{u"frm1/chkHeadSpace"_s, u"!frmSetting/chkHeadSpace"_s} << QStringList() << QStringList();
    QTest::newRow("timers are controls too")
        << QStringList{u"@timNotice"_s, u"frm1/@timNotice"_s} << QStringList() << QStringList{u"timNotice"_s};
    QTest::newRow("Qt's own objects are not")
        << QStringList{u"a/qt_scrollarea_viewport"_s, u"b/qt_scrollarea_viewport"_s} << QStringList() << QStringList();
    QTest::newRow("unnamed objects are not") << QStringList{u"a/"_s, u"b/"_s} << QStringList() << QStringList();
    QTest::newRow("a control array shares its name")
        << QStringList{u"bar/lblNotice"_s, u"bar/more/lblNotice"_s, u"cmdX"_s, u"bar/cmdX"_s}
        << QStringList{u"lblNotice"_s} << QStringList{u"cmdX"_s};
}

void TestObjectNames::duplicatedObjectNames()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, controlArrays);
    QFETCH(QStringList, duplicated);
    QWidget root;
    build(&root, paths);
    QCOMPARE(::duplicatedObjectNames(&root, controlArrays), duplicated);
}

QTEST_MAIN(TestObjectNames)
#include "tst_object_names.moc"
