// The readers of the forum login's four replies, on any text: none may fail,
// and each decides only by what the reply holds. The input splits at \x01
// into a reply and the cookie string the step starts with.
#include "net/forum_login.h"
#include "text/gbk.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;
using namespace zorvane;

namespace {

bool isFormSafe(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'*' || u == u'-'
           || u == u'.' || u == u'_' || u == u'%';
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9' ? u - u'0' : u >= u'A' && u <= u'F' ? u - u'A' + 10 : -1;
}

// "%XX" groups and the characters left as they are, back to bytes.
QByteArray percentDecoded(const QString &encoded)
{
    QByteArray out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == u'%' && i + 2 < encoded.size()) {
            out += char(hexDigit(encoded[i + 1]) * 16 + hexDigit(encoded[i + 2]));
            i += 2;
        } else {
            out += char(encoded[i].unicode());
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList parts = input.split(QChar(u'\x01'));
    const QString reply = parts.value(0);
    const QString cookies = parts.value(1);
    using namespace LoginSteps;

    const FormPage form = readFormPage(reply);
    if (!reply.contains(u"Set-Cookie:"_s) && !form.cookies.isEmpty())
        __builtin_trap();
    const QString body = loginBody(form.formHash, reply, cookies);
    if (!body.startsWith(u"formhash="_s))
        __builtin_trap();

    const SubmitReply submit = readSubmitReply(reply, cookies);
    const bool refused = reply.contains(u"loginperm"_s);
    const bool locked = !refused && reply.contains(u"密码错误次数过多"_s);
    if ((submit.outcome == SubmitReply::Outcome::Refused) != refused
        || (submit.outcome == SubmitReply::Outcome::LockedOut) != locked)
        __builtin_trap();

    const LoginPage page = readLoginPage(reply, cookies);
    if (page.toSignIn != reply.contains(u"Location"_s))
        __builtin_trap();

    const Profile profile = readProfile(reply, cookies);
    for (const QChar c : profile.uid) {
        if (!c.isDigit())
            __builtin_trap();
    }

    // The form encoding leaves only safe characters and loses no byte. It
    // encodes a user name and a password, not a page: a field's worth of the
    // input is enough.
    const QString field = reply.left(4096);
    const QString encoded = encodeFormField(field);
    for (const QChar c : encoded) {
        if (!isFormSafe(c))
            __builtin_trap();
    }
    if (percentDecoded(encoded) != toGbk(field))
        __builtin_trap();
    return 0;
}
