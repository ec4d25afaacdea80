#include "updater/minisign.h"

#include <QFile>
#include <QList>

#include <sodium.h>

namespace zorvane {

namespace {

constexpr qsizetype keyIdSize = 8;

// The file's lines without their line ends.
QList<QByteArray> lines(const QByteArray &bytes)
{
    QList<QByteArray> result = bytes.split('\n');
    for (QByteArray &line : result) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return result;
}

std::optional<QByteArray> strictBase64(const QByteArray &text, qsizetype expectedSize)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != expectedSize)
        return std::nullopt;
    return decoded.decoded;
}

bool verifyDetached(const QByteArray &signature, const unsigned char *message, qsizetype size, const QByteArray &key)
{
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()), message,
                                       static_cast<unsigned long long>(size),
                                       reinterpret_cast<const unsigned char *>(key.constData()))
           == 0;
}

std::optional<QByteArray> hashFile(QFile &file)
{
    Blake2b512 hash;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        hash.addData(QByteArrayView(block.constData(), got));
    }
    return hash.result();
}

// The signature file parsed and made with `key`, or why not.
std::optional<MinisignSignature> signatureOf(const MinisignPublicKey &key, const QByteArray &signatureFile,
                                             SignatureCheck &check)
{
    if (sodium_init() < 0) {
        check = SignatureCheck::Unavailable;
        return std::nullopt;
    }
    std::optional<MinisignSignature> signature = MinisignSignature::parse(signatureFile);
    if (!signature) {
        check = SignatureCheck::Malformed;
        return std::nullopt;
    }
    if (signature->keyId != key.keyId) {
        check = SignatureCheck::OtherKey;
        return std::nullopt;
    }
    return signature;
}

// The trusted comment (what and which release) is signed too, with the
// signature it belongs to, so neither can be moved onto another file.
SignatureVerdict withTrustedComment(const MinisignPublicKey &key, const MinisignSignature &signature)
{
    const QByteArray global = signature.signature + signature.claimedComment;
    if (!verifyDetached(signature.globalSignature, reinterpret_cast<const unsigned char *>(global.constData()),
                        global.size(), key.key))
        return {SignatureCheck::Invalid, {}};
    return {SignatureCheck::Valid, signature.claimedComment};
}

} // namespace

struct Blake2b512::State
{
    crypto_generichash_state state;
};

Blake2b512::Blake2b512() : m_state(std::make_unique<State>())
{
    // BLAKE2b works before or without sodium_init(), which only picks the
    // fastest implementation.
    if (sodium_init() < 0)
        qWarning("libsodium could not start; hashing with its portable code");
    crypto_generichash_init(&m_state->state, nullptr, 0, crypto_generichash_BYTES_MAX);
}

Blake2b512::~Blake2b512() = default;

void Blake2b512::addData(QByteArrayView bytes)
{
    crypto_generichash_update(&m_state->state, reinterpret_cast<const unsigned char *>(bytes.data()),
                              static_cast<unsigned long long>(bytes.size()));
}

QByteArray Blake2b512::result()
{
    QByteArray hash(crypto_generichash_BYTES_MAX, Qt::Uninitialized);
    crypto_generichash_final(&m_state->state, reinterpret_cast<unsigned char *>(hash.data()), size_t(hash.size()));
    return hash;
}

std::optional<MinisignPublicKey> MinisignPublicKey::parse(const QByteArray &fileBytes)
{
    const QList<QByteArray> text = lines(fileBytes);
    if (text.size() < 2 || !text[0].startsWith("untrusted comment:"))
        return std::nullopt;
    const auto decoded = strictBase64(text[1], 2 + keyIdSize + crypto_sign_PUBLICKEYBYTES);
    if (!decoded || !decoded->startsWith("Ed"))
        return std::nullopt;
    return MinisignPublicKey{decoded->mid(2, keyIdSize), decoded->mid(2 + keyIdSize)};
}

std::optional<MinisignSignature> MinisignSignature::parse(const QByteArray &fileBytes)
{
    static constexpr char trustedPrefix[] = "trusted comment: ";
    const QList<QByteArray> text = lines(fileBytes);
    if (text.size() < 4 || !text[0].startsWith("untrusted comment:") || !text[2].startsWith(trustedPrefix))
        return std::nullopt;
    const auto decoded = strictBase64(text[1], 2 + keyIdSize + crypto_sign_BYTES);
    const auto global = strictBase64(text[3], crypto_sign_BYTES);
    if (!decoded || !global)
        return std::nullopt;
    MinisignSignature signature;
    if (decoded->startsWith("Ed"))
        signature.algorithm = Algorithm::Legacy;
    else if (decoded->startsWith("ED"))
        signature.algorithm = Algorithm::Prehashed;
    else
        return std::nullopt;
    signature.keyId = decoded->mid(2, keyIdSize);
    signature.signature = decoded->mid(2 + keyIdSize);
    signature.claimedComment = text[2].mid(qsizetype(sizeof trustedPrefix) - 1);
    signature.globalSignature = *global;
    return signature;
}

SignatureVerdict verifyTrustedComment(const MinisignPublicKey &key, const QByteArray &signatureFile)
{
    SignatureCheck check = SignatureCheck::Valid;
    const std::optional<MinisignSignature> signature = signatureOf(key, signatureFile, check);
    if (!signature)
        return {check, {}};
    return withTrustedComment(key, *signature);
}

SignatureVerdict verifyFileSignature(const MinisignPublicKey &key, const QByteArray &signatureFile, const QString &path,
                                     QByteArrayView hash)
{
    SignatureCheck check = SignatureCheck::Valid;
    const std::optional<MinisignSignature> signature = signatureOf(key, signatureFile, check);
    if (!signature)
        return {check, {}};

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {SignatureCheck::Unreadable, {}};
    bool fileMatches = false;
    if (signature->algorithm == MinisignSignature::Algorithm::Prehashed) {
        std::optional<QByteArray> fileHash;
        if (hash.size() == crypto_generichash_BYTES_MAX)
            fileHash = hash.toByteArray();
        else
            fileHash = hashFile(file);
        if (!fileHash)
            return {SignatureCheck::Unreadable, {}};
        fileMatches =
            verifyDetached(signature->signature, reinterpret_cast<const unsigned char *>(fileHash->constData()),
                           fileHash->size(), key.key);
    } else if (file.size() == 0) {
        static constexpr unsigned char nothing = 0;
        fileMatches = verifyDetached(signature->signature, &nothing, 0, key.key);
    } else {
        const uchar *mapped = file.map(0, file.size());
        if (!mapped)
            return {SignatureCheck::Unreadable, {}};
        fileMatches = verifyDetached(signature->signature, mapped, file.size(), key.key);
        file.unmap(const_cast<uchar *>(mapped));
    }
    if (!fileMatches)
        return {SignatureCheck::Invalid, {}};
    return withTrustedComment(key, *signature);
}

} // namespace zorvane
