#include "testsupport/minisign_tool.h"
#include "updater/minisign.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The signature file with line `line` (from 0) replaced.
QByteArray withLine(const QByteArray &signature, int line, const QByteArray &text)
{
    QList<QByteArray> lines = signature.split('\n');
    lines[line] = text;
    return lines.join('\n');
}

} // namespace

class TestMinisign : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void verify_data();
    void verify();

private:
    QTemporaryDir m_dir;
    QByteArray m_package;
    QByteArray m_prehashed;
    QByteArray m_legacy;
    QByteArray m_otherKeys;
    std::optional<MinisignPublicKey> m_key;
};

void TestMinisign::initTestCase()
{
    QVERIFY(m_dir.isValid());
    MinisignTool maker(m_dir.path());
    QVERIFY(maker.generate());
    MinisignTool stranger(m_dir.path());
    QVERIFY(stranger.generate(u"stranger"_s));
    m_package = "\x00\x00\x00\x06\x03\x04\x06\x03\x05\x06"_ba + "echo installed\n";
    m_prehashed = maker.sign(m_package);
    m_legacy = maker.sign(m_package, true);
    m_otherKeys = stranger.sign(m_package);
    QVERIFY(!m_prehashed.isEmpty() && !m_legacy.isEmpty() && !m_otherKeys.isEmpty());
    m_key = MinisignPublicKey::parse(maker.publicKey());
    QVERIFY(m_key);
}

void TestMinisign::verify_data()
{
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<SignatureCheck>("check");
    // What the signature file alone says, before the package is there.
    QTest::addColumn<SignatureCheck>("commentCheck");

    const QByteArray tampered = QByteArray(m_package).replace("installed", "installeD");
    using Check = SignatureCheck;
    QTest::newRow("prehashed, good") << m_prehashed << m_package << Check::Valid << Check::Valid;
    QTest::newRow("legacy, good") << m_legacy << m_package << Check::Valid << Check::Valid;
    QTest::newRow("CR LF line ends") << QByteArray(m_prehashed).replace("\n", "\r\n") << m_package << Check::Valid
                                     << Check::Valid;
    QTest::newRow("prehashed, file changed") << m_prehashed << tampered << Check::Invalid << Check::Valid;
    QTest::newRow("legacy, file changed") << m_legacy << tampered << Check::Invalid << Check::Valid;
    QTest::newRow("file cut short") << m_prehashed << m_package.chopped(1) << Check::Invalid << Check::Valid;
    QTest::newRow("another maker's key") << m_otherKeys << m_package << Check::OtherKey << Check::OtherKey;
    QTest::newRow("trusted comment changed")
        << withLine(m_prehashed, 2, "trusted comment: release 3") << m_package << Check::Invalid << Check::Invalid;
    QTest::newRow("prehashed relabelled legacy") << withLine(m_prehashed, 1, "RW" + m_prehashed.split('\n')[1].mid(2))
                                                 << m_package << Check::Invalid << Check::Valid;
    QTest::newRow("no trusted comment") << withLine(m_prehashed, 2, "comment: x") << m_package << Check::Malformed
                                        << Check::Malformed;
    QTest::newRow("signature not base64")
        << withLine(m_prehashed, 1, "not*base64") << m_package << Check::Malformed << Check::Malformed;
    QTest::newRow("unknown algorithm") << withLine(m_prehashed, 1, QByteArray(100, 'A')) << m_package
                                       << Check::Malformed << Check::Malformed;
    QTest::newRow("empty signature file") << QByteArray() << m_package << Check::Malformed << Check::Malformed;
    QTest::newRow("a 404 page") << "<html><body>Not Found</body></html>"_ba << m_package << Check::Malformed
                                << Check::Malformed;
}

void TestMinisign::verify()
{
    QFETCH(QByteArray, signature);
    QFETCH(QByteArray, file);
    QFETCH(SignatureCheck, check);
    QFETCH(SignatureCheck, commentCheck);
    const QString path = m_dir.filePath(u"package.md"_s);
    QVERIFY(writeFile(path, file));
    // The comment is given only with a signature that verified.
    const QByteArray comment = "release 2";
    const SignatureVerdict whole = verifyFileSignature(*m_key, signature, path);
    QCOMPARE(whole.check, check);
    QCOMPARE(whole.trustedComment, check == SignatureCheck::Valid ? comment : QByteArray());
    // The same with the file hashed as it arrived, in pieces.
    Blake2b512 hash;
    for (qsizetype at = 0; at < file.size(); at += 7)
        hash.addData(QByteArrayView(file).sliced(at, qMin<qsizetype>(7, file.size() - at)));
    QCOMPARE(verifyFileSignature(*m_key, signature, path, hash.result()).check, check);
    const SignatureVerdict alone = verifyTrustedComment(*m_key, signature);
    QCOMPARE(alone.check, commentCheck);
    QCOMPARE(alone.trustedComment, commentCheck == SignatureCheck::Valid ? comment : QByteArray());
}

QTEST_GUILESS_MAIN(TestMinisign)
#include "tst_minisign.moc"
