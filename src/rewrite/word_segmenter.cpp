#include "rewrite/word_segmenter.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

extern "C" {
#include <friso.h>
}

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

// friso reads its lexicons' list from this file in the dictionary folder.
constexpr auto LexiconList = "friso.lex.ini";

// UTF-8 for friso, with the UTF-16 position of every byte (and one past the
// end). A NUL would end friso's string early and stands as a space; an
// unpaired surrogate stands as U+FFFD, three bytes for its one unit.
struct Utf8Text
{
    QByteArray bytes;
    std::vector<qsizetype> unitOf;
};

Utf8Text toUtf8(QStringView text)
{
    Utf8Text out;
    out.bytes.reserve(text.size() * 3 + 1);
    out.unitOf.reserve(std::size_t(text.size()) * 3 + 1);
    const auto put = [&out](char32_t c, qsizetype unit) {
        char bytes[4];
        int n = 0;
        if (c < 0x80) {
            bytes[n++] = char(c);
        } else if (c < 0x800) {
            bytes[n++] = char(0xC0 | (c >> 6));
            bytes[n++] = char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes[n++] = char(0xE0 | (c >> 12));
            bytes[n++] = char(0x80 | ((c >> 6) & 0x3F));
            bytes[n++] = char(0x80 | (c & 0x3F));
        } else {
            bytes[n++] = char(0xF0 | (c >> 18));
            bytes[n++] = char(0x80 | ((c >> 12) & 0x3F));
            bytes[n++] = char(0x80 | ((c >> 6) & 0x3F));
            bytes[n++] = char(0x80 | (c & 0x3F));
        }
        out.bytes.append(bytes, n);
        out.unitOf.insert(out.unitOf.end(), std::size_t(n), unit);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            put(QChar::surrogateToUcs4(c, text[i + 1].unicode()), i);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            put(0xFFFD, i);
        } else {
            put(c == 0 ? u' ' : c, i);
        }
    }
    out.unitOf.push_back(text.size());
    return out;
}

} // namespace

struct WordSegmenter::Friso
{
    friso_t friso = nullptr;
    friso_config_t config = nullptr;

    ~Friso()
    {
        if (config)
            friso_free_config(config);
        if (friso)
            friso_free(friso);
    }
};

WordSegmenter::WordSegmenter() = default;
WordSegmenter::~WordSegmenter() = default;

QString WordSegmenter::systemDictionary()
{
    return u"/usr/share/friso/dict/UTF-8"_s;
}

std::unique_ptr<const WordSegmenter> WordSegmenter::load(const QString &dictionaryDir, QString *error)
{
    auto segmenter = std::make_unique<WordSegmenter>();
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return std::unique_ptr<const WordSegmenter>(std::move(segmenter));
    };
    // friso warns on standard error and goes on without a missing lexicon,
    // so the list is looked at first: a folder without one is no dictionary.
    const QString list = QDir(dictionaryDir).filePath(QString::fromLatin1(LexiconList));
    if (!QFileInfo(list).isFile())
        return fail(u"the word segmenter's dictionary %1 is missing"_s.arg(QDir::toNativeSeparators(list)));

    auto f = std::make_unique<Friso>();
    f->friso = friso_new();
    f->config = friso_new_config();
    if (!f->friso || !f->config)
        return fail(u"the word segmenter could not be set up"_s);
    friso_init_config(f->config);
    // Boundaries only: no synonyms appended (they would also write to the
    // shared dictionary's entries), no second split of Latin words, every
    // word kept. The complex mode resolves ambiguous runs best.
    f->config->add_syn = 0;
    f->config->en_sseg = 0;
    f->config->clr_stw = 0;
    f->config->spx_out = 0;
    friso_set_mode(f->config, __FRISO_COMPLEX_MODE__);
    f->friso->charset = FRISO_UTF8;
    f->friso->dic = friso_dic_new();
    QByteArray dir = QDir(dictionaryDir).absolutePath().toLocal8Bit() + '/';
    // The longest word friso matches, in bytes of UTF-8.
    friso_dic_load_from_ifile(f->friso, f->config, dir.data(), f->config->max_len * 3);
    if (friso_all_dic_size(f->friso->dic) == 0)
        return fail(
            u"the word segmenter's dictionary %1 holds no words"_s.arg(QDir::toNativeSeparators(dictionaryDir)));
    segmenter->m_friso = std::move(f);
    return segmenter;
}

std::vector<qsizetype> WordSegmenter::boundaries(QStringView text) const
{
    std::vector<qsizetype> out;
    if (!m_friso || text.isEmpty())
        return out;
    Utf8Text utf8 = toUtf8(text);
    friso_task_t task = friso_new_task();
    if (!task)
        return out;
    out.push_back(0);
    friso_set_text(task, utf8.bytes.data());
    const auto bytes = qsizetype(utf8.bytes.size());
    while (friso_token_t token = m_friso->config->next_token(m_friso->friso, m_friso->config, task)) {
        const qsizetype start = token->offset;
        if (start < 0 || start > bytes)
            continue;
        out.push_back(utf8.unitOf[std::size_t(start)]);
        // A punctuation token's length is not its length in the text; the
        // next token's start marks its end.
        if (token->type != __LEX_PUNC_WORDS__) {
            const qsizetype end = start + token->rlen;
            if (end <= bytes)
                out.push_back(utf8.unitOf[std::size_t(end)]);
        }
    }
    friso_free_task(task);
    out.push_back(text.size());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace zorvane
