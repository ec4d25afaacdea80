#include "checks/lint.h"

#include "checks/cjk_text.h"
#include "checks/visible_chars.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

QString escapeLineBreaks(const QString &text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString out = text;
    out.replace(u"\r"_s, u"\\r"_s);
    out.replace(u"\n"_s, u"\\n"_s);
    return out;
}

QString jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += u"\\\"";
            break;
        case u'\\':
            out += u"\\\\";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\t':
            out += u"\\t";
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                out += u"\\u%1"_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

} // namespace

std::vector<LintFinding> placeFindings(const QString &text, const std::vector<LintRange> &ranges)
{
    // Character index and line start of every UTF-16 position.
    const qsizetype n = text.size();
    std::vector<qsizetype> charIndex(size_t(n) + 1);
    std::vector<qsizetype> lineStarts{0}; // as UTF-16 positions
    qsizetype chars = 0;
    for (qsizetype i = 0; i < n; ++i) {
        charIndex[size_t(i)] = chars;
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++chars;
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= n || text[i + 1] != u'\n')))
            lineStarts.push_back(i + 1);
    }
    charIndex[size_t(n)] = chars;

    std::vector<size_t> order(ranges.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return ranges[a].start != ranges[b].start ? ranges[a].start < ranges[b].start
                                                  : ranges[a].length < ranges[b].length;
    });

    std::vector<LintFinding> findings;
    findings.reserve(ranges.size());
    for (const size_t k : order) {
        const LintRange &range = ranges[k];
        const auto line = std::upper_bound(lineStarts.begin(), lineStarts.end(), range.start) - 1;
        LintFinding finding;
        finding.rule = range.rule;
        finding.line = int(line - lineStarts.begin()) + 1;
        finding.column = int(charIndex[size_t(range.start)] - charIndex[size_t(*line)]) + 1;
        finding.offset = charIndex[size_t(range.start)];
        finding.length = charIndex[size_t(range.start + range.length)] - finding.offset;
        finding.text = text.mid(range.start, range.length);
        finding.suggestion = range.suggestion;
        findings.push_back(std::move(finding));
    }
    return findings;
}

std::vector<LintRange> punctuationRanges(const QString &text)
{
    static constexpr char16_t halfWidth[] = {u',', u'.', u'!', u'?', u':'};
    static constexpr char16_t fullWidth[] = {u'，', u'。', u'！', u'？', u'：'};
    std::vector<LintRange> ranges;
    const VisibleText visible = visibleChars(text, TextKind::Plain);
    const std::vector<VisibleChar> &chars = visible.chars;
    const std::vector<int> address = findAddresses(chars);
    for (size_t i = 0; i < chars.size(); ++i) {
        const auto mark = std::find(std::begin(halfWidth), std::end(halfWidth), chars[i].code);
        if (mark == std::end(halfWidth) || address[i] != 0)
            continue;
        if (*mark == u'.'
            && ((i > 0 && chars[i - 1].code == u'.') || (i + 1 < chars.size() && chars[i + 1].code == u'.')))
            continue; // an ellipsis written with dots
        size_t before = i;
        while (before > 0 && (chars[before - 1].code == u' ' || chars[before - 1].code == u'\t'))
            --before;
        if (before == 0 || !isCjkCharacter(chars[before - 1].code))
            continue;
        const QChar full(fullWidth[mark - std::begin(halfWidth)]);
        ranges.push_back({u"punctuation"_s, chars[i].start, 1, QString(full)});
    }
    return ranges;
}

std::vector<LintFinding> lintText(const QString &text, const LintLibraries &libraries, const LintOptions &options)
{
    std::vector<LintRange> ranges;
    for (const TypoFound &typo : findTypos(text, libraries.typos))
        ranges.push_back({u"typo"_s, typo.start, typo.length, typo.correction.toString()});

    if (options.looseSensitive && libraries.loose) {
        for (const SensitiveSpan &span : findSensitiveSpans(text, TextKind::Plain, *libraries.loose))
            ranges.push_back({u"sensitive"_s, span.start, span.length, QString()});
    } else if (libraries.sensitive) {
        const KeywordAutomaton::Occurrences found = libraries.sensitive->automaton().findAll(text);
        std::vector<bool> done(found.first.size(), false); // a word listed twice is reported once
        for (const SensitiveIndex::Line &line : libraries.sensitive->lines()) {
            if (done[size_t(line.word)])
                continue;
            done[size_t(line.word)] = true;
            qsizetype lastEnd = 0;
            for (int k = found.first[size_t(line.word)]; k < found.first[size_t(line.word) + 1]; ++k) {
                const qsizetype start = found.starts[size_t(k)];
                if (start < lastEnd)
                    continue;
                ranges.push_back({u"sensitive"_s, start, line.length, QString()});
                lastEnd = start + line.length;
            }
        }
    }

    const std::vector<LintRange> punctuation = punctuationRanges(text);
    ranges.insert(ranges.end(), punctuation.begin(), punctuation.end());

    for (const SpacingFix &fix : cjkSpacingFixes(text, TextKind::Plain, options.spacing)) {
        std::vector<TextEdit> edits = fix.edits;
        for (TextEdit &edit : edits)
            edit.start -= fix.start;
        ranges.push_back(
            {u"spacing"_s, fix.start, fix.length, applyEdits(QStringView(text).mid(fix.start, fix.length), edits)});
    }
    return placeFindings(text, ranges);
}

QString lintLine(const QString &file, const LintFinding &finding)
{
    return file + u':' + QString::number(finding.line) + u':' + QString::number(finding.column) + u": " + finding.rule
           + u": " + escapeLineBreaks(finding.text) + u" -> " + escapeLineBreaks(finding.suggestion);
}

QString lintJson(const LintFinding &finding)
{
    return u"{\"rule\":"_s + jsonString(finding.rule) + u",\"line\":" + QString::number(finding.line) + u",\"column\":"
           + QString::number(finding.column) + u",\"offset\":" + QString::number(finding.offset) + u",\"length\":"
           + QString::number(finding.length) + u",\"text\":" + jsonString(finding.text) + u",\"suggestion\":"
           + jsonString(finding.suggestion) + u'}';
}

} // namespace zorvane
