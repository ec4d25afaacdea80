#include "format/format_html.h"

#include "checks/cjk_spacing.h"
#include "format/scratch_document.h"
#include "text/text_utils.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

const QString kImagePrefix = u"#FormatImgID_"_s;
const QString kKeywordPlaceholder = u"#FormatKeyWords_All#"_s;

QString imagePlaceholder(qsizetype index)
{
    return kImagePrefix + QString::number(index) + u'#';
}

// The rendered text goes back into HTML: characters that would read as
// markup are written as entities, so that an article quoting a tag keeps it
// as text instead of turning it into a live element.
QString escapeText(const QString &text)
{
    if (!text.contains(u'&') && !text.contains(u'<') && !text.contains(u'>'))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString escapeAttribute(const QString &value)
{
    QString out = value;
    out.replace(u"&"_s, u"&amp;"_s);
    out.replace(u"\""_s, u"&quot;"_s);
    return out;
}

// Step 4: empties every link. A link that holds images keeps their
// placeholders ("#FormatImgID_" digits "#"), so the images come back where
// the link was.
void removeLinkTexts(ScratchDocument &doc)
{
    for (const int link : doc.links()) {
        QString kept;
        const QString content = doc.textContent(link);
        qsizetype from = 0;
        for (qsizetype at = content.indexOf(kImagePrefix); at >= 0; at = content.indexOf(kImagePrefix, from)) {
            qsizetype end = at + kImagePrefix.size();
            while (end < content.size() && content.at(end).unicode() >= u'0' && content.at(end).unicode() <= u'9')
                ++end;
            from = at + 1;
            if (end > at + kImagePrefix.size() && end < content.size() && content.at(end) == u'#') {
                kept += u"<br>" % QStringView(content).mid(at, end + 1 - at) % u"<br>";
                from = end + 1;
            }
        }
        doc.setInnerHtml(link, kept);
    }
}

// Replaces every "#FormatImgID_<i>#" with i below the table's size by the
// table's entry i; anything else that looks like a placeholder stays.
QString restoreImages(const QString &text, const QStringList &imageTable)
{
    if (imageTable.isEmpty())
        return text;
    QString out;
    out.reserve(text.size() + imageTable.size() * 96);
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(kImagePrefix); at >= 0; at = text.indexOf(kImagePrefix, from)) {
        qsizetype digitsEnd = at + kImagePrefix.size();
        while (digitsEnd < text.size() && digitsEnd - at - kImagePrefix.size() < 10 && text.at(digitsEnd).isDigit()
               && text.at(digitsEnd).unicode() < 128)
            ++digitsEnd;
        const QStringView digits =
            QStringView(text).mid(at + kImagePrefix.size(), digitsEnd - at - kImagePrefix.size());
        bool ok = false;
        const qsizetype index = digits.isEmpty() ? -1 : digits.toLongLong(&ok);
        // The decimal form must be exactly the one the placeholder was made
        // with (no leading zeros), as a plain replace would require.
        if (ok && index >= 0 && index < imageTable.size() && digits == QString::number(index) && digitsEnd < text.size()
            && text.at(digitsEnd) == u'#') {
            out += QStringView(text).mid(from, at - from);
            out += imageTable.at(index);
            from = digitsEnd + 1;
        } else {
            out += QStringView(text).mid(from, at + 1 - from);
            from = at + 1;
        }
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

void setTmpHtml(ScratchDocument &webTmp, const QString &html)
{
    webTmp.load(html);
}

bool usesTypoLibrary(FormatMode mode, const FormatOptions &options)
{
    return mode == FormatMode::OneKeyFormat && options.checkWords;
}

QString imageTableEntry(const QString &src, const QString &alt, const QString &width, const QString &height,
                        const QString &align)
{
    return u"<center><img src=\"" % escapeAttribute(src) % u"\" alt=\"" % escapeAttribute(alt) % u"\" width=\""
           % escapeAttribute(width) % u"\" height=\"" % escapeAttribute(height) % u"\" align=\""
           % escapeAttribute(align) % u"\"></center>";
}

qint64 keywordTarget(qint64 textLength, int density, qint64 keywordLength)
{
    const qint64 numerator = textLength * density;
    const qint64 denominator = qint64(100 - density) * keywordLength;
    if (denominator <= 0 || numerator < 0)
        return 0;
    qint64 quotient = numerator / denominator;
    const qint64 twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 == 1))
        ++quotient;
    return quotient;
}

QString insertKeyword(const QString &text, const QString &kw, qsizetype step)
{
    if (step < 1 || kw.isEmpty())
        return text;
    QString out;
    out.reserve(text.size() + (text.size() / step + 1) * kw.size());
    bool pending = false;
    for (qsizetype p = 1; p <= text.size(); ++p) {
        const QChar c = text.at(p - 1);
        out += c;
        if (p % step == 0) {
            const qsizetype from = qMax<qsizetype>(1, p - 20) - 1;
            if (!QStringView(text).mid(from, 40).contains(kImagePrefix))
                pending = true;
        }
        if (!pending)
            continue;
        // Never split a CR LF pair (that would merge two paragraphs) nor a
        // surrogate pair (that would corrupt the character): the keyword
        // then follows the pair.
        const bool splitsPair =
            p < text.size()
            && ((c == u'\r' && text.at(p) == u'\n') || (c.isHighSurrogate() && text.at(p).isLowSurrogate()));
        if (splitsPair)
            continue;
        out += kw;
        pending = false;
    }
    return out;
}

QString FormatHtml(const QString &html, FormatMode mode, const FormatOptions &options, const CheckOptions &checks,
                   const TypoIndex &typos)
{
    // Steps 1 to 3: the scratch document, images replaced by placeholders.
    ScratchDocument doc;
    setTmpHtml(doc, html);
    QStringList imageTable;
    for (const ScratchDocument::ImageInfo &image : doc.images()) {
        const qsizetype index = imageTable.size();
        imageTable << imageTableEntry(image.src, image.alt, image.width, image.height, image.align);
        doc.replaceOuterHtml(image.node, u"<br>" % imagePlaceholder(index) % u"<br>");
    }

    // Step 4: link texts.
    if (options.removeLink && !options.saveWords)
        removeLinkTexts(doc);

    // Step 5: plain text.
    QString text = escapeText(YTrim(doc.bodyInnerText()));

    // Step 6: keyword density and placeholders.
    const KeywordOptions &keyword = options.keyword;
    bool keywordPlaced = false;
    QString keywordReplacement;
    if (mode == FormatMode::PseudoOriginal && keyword.insert) {
        const int density = keyword.density;
        const QString kw = escapeText(keyword.word);
        if (density >= 1 && density <= 20 && !kw.isEmpty()) {
            const qint64 target = keywordTarget(text.size(), density, kw.size());
            const qint64 need = target - FindStrNums(text, kw);
            if (need > 0)
                text = insertKeyword(text, kw, qsizetype(text.size() / need));
            text.replace(kw, kKeywordPlaceholder);
            keywordPlaced = true;
            keywordReplacement = kw;
            const QString &url = keyword.linkUrl;
            if (!trimBlanks(url).isEmpty()) {
                if (keyword.linkType == 0)
                    keywordReplacement = u"<a href=\"" % FormatUrl(url) % u"\">" % kw % u"</a>";
                else if (keyword.linkType == 1)
                    keywordReplacement = u"<a href=\"" % FormatUrl(url) % u"\" target=_blank>" % kw % u"</a>";
            }
        }
    }

    // Step 7: width.
    if (options.full)
        text = fullToHalfWidth(text);

    // Step 8: doubled line breaks, one left-to-right pass.
    if (options.extBr)
        text.replace(u"\r\n\r\n"_s, u"\r\n"_s);

    // Step 9: signature.
    if (mode == FormatMode::OneKeyFormat && options.autoSign) {
        const QString &sign = options.sign;
        if (options.signAtStart && !text.startsWith(sign))
            text = sign + text;
        if (options.signAtEnd && !text.endsWith(sign))
            text += sign;
    }

    // Step 10: paragraphs.
    {
        const bool extSpace = options.extSpace;
        const bool headSpace = options.headSpace;
        const int spaceNum = headSpace ? options.spaceNum : 0;
        QString indent;
        if (headSpace && spaceNum > 0) {
            // A settings value far beyond any real indentation must not
            // exhaust memory.
            const int count = qMin(spaceNum, 1000);
            indent = options.fullSpace ? QString(count, QChar(0x3000)) : u"&nbsp;"_s.repeated(count);
        }
        QString rebuilt;
        rebuilt.reserve(text.size() + text.size() / 8);
        for (const QStringView raw : QStringView(text).split(u"\r\n")) {
            QString line = YTrim(raw.toString());
            if (line.isEmpty())
                continue;
            if (extSpace) {
                line.remove(u' ');
                line.remove(u"&nbsp;"_s);
                line.remove(QChar(0x3000));
            }
            if (line.startsWith(kImagePrefix) || line.endsWith(u'#'))
                rebuilt += line;
            else if (headSpace)
                rebuilt += spaceNum > 0 ? u"<p>" % indent % line % u"</p>" : line;
            else
                rebuilt += u"<p>" % line % u"</p>";
        }
        text = std::move(rebuilt);
    }

    // Step 11: punctuation, Chinese-Latin spacing and typos (one-key format only).
    if (mode == FormatMode::OneKeyFormat) {
        if (options.point)
            text = fixPunctuation(text, checks.typoMark);
        text = applyCjkSpacing(text, TextKind::Html, options.cjkSpace);
        if (usesTypoLibrary(mode, options)) {
            int count = 0;
            text = markTypos(text, typos, checks.typoMark, count);
        }
    }

    // Step 12: keyword links.
    if (keywordPlaced)
        text.replace(kKeywordPlaceholder, keywordReplacement);

    // Step 13: images, in one pass over the text (a replace per image would
    // make pages with thousands of images quadratic).
    return restoreImages(text, imageTable);
}

} // namespace zorvane
