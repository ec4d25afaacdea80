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

std::optional<QByteArray> blake2b512(QFile &file)
{
    crypto_generichash_state state;
    if (crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX) != 0)
        return std::nullopt;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char *>(block.constData()),
                                  static_cast<unsigned long long>(got));
    }
    QByteArray hash(crypto_generichash_BYTES_MAX, Qt::Uninitialized);
    crypto_generichash_final(&state, reinterpret_cast<unsigned char *>(hash.data()), size_t(hash.size()));
    return hash;
}

} // namespace

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
    signature.trustedComment = text[2].mid(qsizetype(sizeof trustedPrefix) - 1);
    signature.globalSignature = *global;
    return signature;
}

SignatureCheck verifyFileSignature(const MinisignPublicKey &key, const QByteArray &signatureFile, const QString &path)
{
    if (sodium_init() < 0)
        return SignatureCheck::Unavailable;
    const std::optional<MinisignSignature> signature = MinisignSignature::parse(signatureFile);
    if (!signature)
        return SignatureCheck::Malformed;
    if (signature->keyId != key.keyId)
        return SignatureCheck::OtherKey;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SignatureCheck::Unreadable;
    bool fileMatches = false;
    if (signature->algorithm == MinisignSignature::Algorithm::Prehashed) {
        const std::optional<QByteArray> hash = blake2b512(file);
        if (!hash)
            return SignatureCheck::Unreadable;
        fileMatches = verifyDetached(signature->signature, reinterpret_cast<const unsigned char *>(hash->constData()),
                                     hash->size(), key.key);
    } else if (file.size() == 0) {
        static constexpr unsigned char nothing = 0;
        fileMatches = verifyDetached(signature->signature, &nothing, 0, key.key);
    } else {
        const uchar *mapped = file.map(0, file.size());
        if (!mapped)
            return SignatureCheck::Unreadable;
        fileMatches = verifyDetached(signature->signature, mapped, file.size(), key.key);
        file.unmap(const_cast<uchar *>(mapped));
    }
    if (!fileMatches)
        return SignatureCheck::Invalid;

    // The trusted comment (time, file name) is signed too.
    const QByteArray global = signature->signature + signature->trustedComment;
    if (!verifyDetached(signature->globalSignature, reinterpret_cast<const unsigned char *>(global.constData()),
                        global.size(), key.key))
        return SignatureCheck::Invalid;
    return SignatureCheck::Valid;
}

} // namespace zorvane
