#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
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
    QByteArray keyId;     // 8 bytes
    QByteArray signature; // 64 bytes
    // The text after "trusted comment: ", as the file says it: nothing to go
    // by until the global signature verified (SignatureVerdict has it then).
    QByteArray claimedComment;
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

struct SignatureVerdict
{
    SignatureCheck check = SignatureCheck::Malformed;
    QByteArray trustedComment; // only when the check passed
};

// BLAKE2b-512 of bytes given in pieces: what a prehashed signature signs.
class Blake2b512
{
public:
    Blake2b512();
    ~Blake2b512();
    Blake2b512(const Blake2b512 &) = delete;
    Blake2b512 &operator=(const Blake2b512 &) = delete;

    void addData(QByteArrayView bytes);
    // The 64-byte hash of everything added; nothing can be added afterwards.
    QByteArray result();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Checks what the signature file alone can tell: that it was made with `key`
// and that its trusted comment is the one signed with it. Cheap, so a
// package whose signature fails here need not be downloaded.
SignatureVerdict verifyTrustedComment(const MinisignPublicKey &key, const QByteArray &signatureFile);

// Checks the file at `path` against the signature file's bytes, the trusted
// comment included. A prehashed signature takes `hash` when the caller
// hashed the file as it was written (Blake2b512), else the file is read in
// pieces; a legacy one needs the file whole and maps it into memory.
SignatureVerdict verifyFileSignature(const MinisignPublicKey &key, const QByteArray &signatureFile, const QString &path,
                                     QByteArrayView hash = {});

} // namespace zorvane
