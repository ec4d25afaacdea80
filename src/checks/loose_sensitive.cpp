#include "checks/loose_sensitive.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// Stands in the folded text where more separators stand than a word may
// span; no word holds it.
constexpr char16_t kBreak = 0xFFFF;

bool isHtmlWhiteSpace(char32_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

struct Range
{
    qsizetype start;
    qsizetype end;
};

// The folded word characters of the text, each with the source range of the
// character it came from (both units of a surrogate pair share it).
struct FoldedText
{
    QString units;
    std::vector<Range> source;

    void append(char32_t c, Range from)
    {
        if (QChar::requiresSurrogates(c)) {
            units += QChar(QChar::highSurrogate(c));
            units += QChar(QChar::lowSurrogate(c));
            source.push_back(from);
        } else {
            units += QChar(char16_t(c));
        }
        source.push_back(from);
    }
};

// Counts the separators between word characters the way a reader sees them:
// in HTML a run of white space and block boundaries shows as one blank and
// inline markup as nothing; a CR LF is one line break; a mark or joiner is
// part of the sign before it.
FoldedText foldText(const VisibleText &visible, TextKind kind, const CharFolding &folding)
{
    FoldedText folded;
    folded.units.reserve(qsizetype(visible.chars.size()));
    folded.source.reserve(visible.chars.size());
    int gap = 0;
    bool afterSeparator = false;
    bool joined = false; // a joiner binds the next sign to the one before
    bool inWhiteRun = false;
    char32_t previous = 0;
    const auto countOne = [&gap] { gap = std::min(gap + 1, LooseSensitiveIndex::MaxGap + 1); };
    for (const VisibleChar &ch : visible.chars) {
        if (ch.gapBefore == MarkupGap::Block) {
            if (!inWhiteRun)
                countOne();
            inWhiteRun = true;
            afterSeparator = true;
        }
        switch (folding.kind(ch.code)) {
        case CharFolding::Kind::Word:
            if (gap > LooseSensitiveIndex::MaxGap && !folded.units.isEmpty()) {
                folded.units += QChar(kBreak);
                folded.source.push_back({ch.start, ch.start});
            }
            folded.append(folding.fold(ch.code), {ch.start, ch.end});
            gap = 0;
            afterSeparator = false;
            joined = false;
            inWhiteRun = false;
            break;
        case CharFolding::Kind::Extender:
            if (!afterSeparator)
                countOne();
            afterSeparator = true;
            joined = ch.code == 0x200D;
            break;
        case CharFolding::Kind::Separator:
            if (joined) {
                joined = false;
            } else if (kind == TextKind::Html && isHtmlWhiteSpace(ch.code)) {
                if (!inWhiteRun)
                    countOne();
                inWhiteRun = true;
            } else if (!(kind == TextKind::Plain && ch.code == u'\n' && previous == u'\r')) {
                countOne();
                inWhiteRun = false;
            }
            afterSeparator = true;
            break;
        }
        previous = ch.code;
    }
    return folded;
}

// Whether [start, end) of the source overlaps any markup range.
bool overlapsMarkup(const std::vector<std::pair<qsizetype, qsizetype>> &markup, qsizetype start, qsizetype end)
{
    auto it = std::upper_bound(markup.begin(), markup.end(), start,
                               [](qsizetype s, const std::pair<qsizetype, qsizetype> &m) { return s < m.second; });
    return it != markup.end() && it->first < end;
}

std::vector<SensitiveSpan> findSpans(QStringView text, const VisibleText &visible, TextKind kind,
                                     const LooseSensitiveIndex &index);

} // namespace

LooseSensitiveIndex::LooseSensitiveIndex(const QString &library, const QString &allowList,
                                         const TraditionalChars &traditional)
    : LooseSensitiveIndex(library, allowList, std::make_shared<const CharFolding>(traditional))
{}

LooseSensitiveIndex::LooseSensitiveIndex(const QString &library, const QString &allowList,
                                         std::shared_ptr<const CharFolding> folding)
    : m_folding(std::move(folding))
{
    for (const QStringView line : QStringView(library).split(u'\n'))
        addLine(line, true);
    for (const QStringView line : QStringView(allowList).split(u'\n'))
        addLine(line, false);
    m_automaton.finish();
}

void LooseSensitiveIndex::addLine(QStringView line, bool blocked)
{
    if (line.endsWith(u'\r'))
        line.chop(1);
    if (line.isEmpty())
        return;
    const QString folded = m_folding->foldedWord(line);
    if (folded.isEmpty()) {
        m_signWords.push_back({line.toString(), blocked});
        return;
    }
    const int id = m_automaton.addWord(folded);
    if (size_t(id) >= m_words.size())
        m_words.resize(size_t(id) + 1);
    Word &word = m_words[size_t(id)];
    word.length = int(folded.size());
    (blocked ? word.blocked : word.allowed) = true;
}

namespace {

std::vector<SensitiveSpan> findSpans(QStringView text, const VisibleText &visible, TextKind kind,
                                     const LooseSensitiveIndex &index)
{
    const FoldedText folded = foldText(visible, kind, index.folding());
    const KeywordAutomaton::Occurrences found = index.automaton().findAll(folded.units);

    std::vector<Range> blocked;
    std::vector<Range> allowed;
    for (size_t id = 0; id < index.words().size(); ++id) {
        const LooseSensitiveIndex::Word &word = index.words()[id];
        for (int k = found.first[id]; k < found.first[id + 1]; ++k) {
            const int first = found.starts[size_t(k)];
            const Range range{folded.source[size_t(first)].start, folded.source[size_t(first + word.length - 1)].end};
            if (word.blocked)
                blocked.push_back(range);
            if (word.allowed)
                allowed.push_back(range);
        }
    }
    for (const LooseSensitiveIndex::SignWord &word : index.signWords()) {
        for (qsizetype at = text.indexOf(word.text); at >= 0; at = text.indexOf(word.text, at + 1)) {
            if (!overlapsMarkup(visible.markup, at, at + word.text.size()))
                (word.blocked ? blocked : allowed).push_back({at, at + word.text.size()});
        }
    }

    const auto byStart = [](const Range &a, const Range &b) {
        return a.start != b.start ? a.start < b.start : a.end > b.end;
    };
    std::sort(blocked.begin(), blocked.end(), byStart);
    std::sort(allowed.begin(), allowed.end(), byStart);

    // An occurrence inside an allowed one is no finding: the furthest end of
    // the allowed occurrences that start at or before it tells.
    std::vector<SensitiveSpan> spans;
    size_t nextAllowed = 0;
    qsizetype allowedEnd = -1;
    qsizetype spanStart = -1;
    qsizetype spanEnd = -1;
    for (const Range &range : blocked) {
        while (nextAllowed < allowed.size() && allowed[nextAllowed].start <= range.start)
            allowedEnd = std::max(allowedEnd, allowed[nextAllowed++].end);
        if (allowedEnd >= range.end)
            continue;
        if (spanStart >= 0 && range.start < spanEnd) {
            spanEnd = std::max(spanEnd, range.end);
            continue;
        }
        if (spanStart >= 0)
            spans.push_back({spanStart, spanEnd - spanStart});
        spanStart = range.start;
        spanEnd = range.end;
    }
    if (spanStart >= 0)
        spans.push_back({spanStart, spanEnd - spanStart});
    return spans;
}

} // namespace

std::vector<SensitiveSpan> findSensitiveSpans(QStringView text, TextKind kind, const LooseSensitiveIndex &index)
{
    return findSpans(text, visibleChars(text, kind), kind, index);
}

SensitiveWordsResult checkSensitiveWordsLoose(const QString &html, const LooseSensitiveIndex &index)
{
    static const QString open = u"<font color=red>"_s;
    static const QString close = u"</font>"_s;
    SensitiveWordsResult result;
    const VisibleText visible = visibleChars(html, TextKind::Html);
    const std::vector<SensitiveSpan> spans = findSpans(html, visible, TextKind::Html, index);
    result.count = int(spans.size());
    if (spans.empty()) {
        result.marked = html;
        return result;
    }
    const auto &markup = visible.markup;
    QString out;
    out.reserve(html.size() + qsizetype(spans.size()) * (open.size() + close.size()) * 2);
    qsizetype copied = 0;
    auto nextMarkup = markup.begin();
    // White space between two pieces of markup is left bare: it shows nothing.
    const auto wrap = [&](qsizetype start, qsizetype end) {
        const QStringView piece = QStringView(html).mid(start, end - start);
        if (std::all_of(piece.begin(), piece.end(), [](QChar c) { return isHtmlWhiteSpace(c.unicode()); }))
            return;
        out += QStringView(html).mid(copied, start - copied);
        out += open;
        out += QStringView(html).mid(start, end - start);
        out += close;
        copied = end;
    };
    for (const SensitiveSpan &span : spans) {
        const qsizetype end = span.start + span.length;
        while (nextMarkup != markup.end() && nextMarkup->second <= span.start)
            ++nextMarkup;
        qsizetype pieceStart = span.start;
        for (; nextMarkup != markup.end() && nextMarkup->first < end; ++nextMarkup) {
            wrap(pieceStart, nextMarkup->first);
            pieceStart = nextMarkup->second;
        }
        wrap(pieceStart, end);
    }
    out += QStringView(html).mid(copied);
    result.marked = out;
    return result;
}

} // namespace zorvane
