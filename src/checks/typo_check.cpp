#include "checks/typo_check.h"

#include "settings/config.h"
#include "text/text_utils.h"

#include <QStringList>

namespace {

const QString kMarkOpen = QStringLiteral("<font color=red>");
const QString kMarkClose = QStringLiteral("</font>");

} // namespace

QString markTypos(const QString &input, const QString &library, int markFlag, int &count)
{
    count = 0;
    QString text = input;
    if (text.isEmpty())
        return text;
    const QString lib = QStringLiteral("\r\n") + library + QStringLiteral("\r\n");
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QChar c = text.at(pos);
        if (c != u'\r' && c != u'\n') {
            qsizetype length = 1;
            for (;;) {
                const QString cand = text.mid(pos, length);
                const qsizetype found = lib.indexOf(cand);
                if (found < 0)
                    break;
                const qsizetype after = found + cand.size();
                if ((found == 0 || lib.at(found - 1) == u'\n') && after < lib.size() && lib.at(after) == u'|') {
                    QString replacement;
                    if (markFlag != 0) {
                        replacement = kMarkOpen + cand + kMarkClose;
                    } else {
                        const qsizetype lineEnd = lib.indexOf(u'\r', after);
                        replacement = lib.mid(found, lineEnd - found).split(u'|').value(1);
                    }
                    text = text.left(pos) + replacement + text.mid(pos + cand.size());
                    ++count;
                    pos += replacement.size() - 1;
                    break;
                }
                if (pos + length >= text.size())
                    break;
                ++length;
            }
        }
        ++pos;
    }
    return text;
}

QString fixPunctuation(const QString &text)
{
    return fixPunctuation(text, toInt(getConfig(QStringLiteral("CheckWordsType"), QStringLiteral("Format"))));
}

QString fixPunctuation(const QString &text, int checkWordsType)
{
    static const char16_t halfWidth[] = {u',', u'.', u'!', u'?', u':'};
    static const char16_t fullWidth[] = {u'，', u'。', u'！', u'？', u'：'};
    QString result = text;
    for (size_t i = 0; i < std::size(halfWidth); ++i) {
        const QChar half(halfWidth[i]);
        if (checkWordsType == 1)
            result.replace(half, QString(kMarkOpen + half + kMarkClose));
        else
            result.replace(half, QChar(fullWidth[i]));
    }
    return result;
}
