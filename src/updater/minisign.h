#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zorvane {

// Detached Ed25519 signatures in the format of the minisign tool, with which
// the maker signs update packages. Verified with libsodium.
//
// Public key file: an "untrusted comment:" line, then base64 of "Ed", the
// 8-byte key id and the 32-byte key.
// Signature file: an "untrusted comment:" line; base64 of the algorithm ("Ed"
// signs the file itself, "ED" its BLAKE2b-512 hash), the key id and the
// 64-byte signature; a "trusted comment: " line; base64 of the global
// signature over the signature and the trusted comment.
struct MinisignPublicKey
{
    QByteArray keyId; // 8 bytes
    QByteArray key;   // 32 bytes

    static std::optional<MinisignPublicKey> parse(const QByteArray &fileBytes);
};

struct MinisignSignature
{
    enum class Algorithm { Legacy, Prehashed };

    Algorithm algorithm = Algorithm::Prehashed;
    QByteArray keyId;           // 8 bytes
    QByteArray signature;       // 64 bytes
    QByteArray trustedComment;  // the text after "trusted comment: "
    QByteArray globalSignature; // 64 bytes

    static std::optional<MinisignSignature> parse(const QByteArray &fileBytes);
};

enum class SignatureCheck {
    Valid,
    Malformed,   // the signature file is not in the format
    OtherKey,    // made with a key other than the one given
    Invalid,     // the file or the trusted comment does not match
    Unreadable,  // the signed file cannot be read
    Unavailable, // libsodium could not start
};

// Checks the file at `path` against the signature file's bytes. The file is
// read in pieces for a prehashed signature; a legacy one needs it whole and
// maps it into memory.
SignatureCheck verifyFileSignature(const MinisignPublicKey &key, const QByteArray &signatureFile, const QString &path);

} // namespace zorvane
