#include "settings/ini_format.h"

#include <QList>

namespace zorvane {

namespace ini {
namespace {

struct Line
{
    qsizetype begin = 0; // first byte of the line
    qsizetype end = 0;   // one past the last content byte (before CR LF / LF)
    qsizetype next = 0;  // first byte of the following line
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype b = 0, e = bytes.size();
    while (b < e && isBlank(bytes[b]))
        ++b;
    while (e > b && isBlank(bytes[e - 1]))
        --e;
    return bytes.sliced(b, e - b);
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QList<Line> splitLines(const QByteArray &file)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < file.size()) {
        Line line;
        line.begin = pos;
        qsizetype lf = file.indexOf('\n', pos);
        if (lf < 0) {
            line.end = line.next = file.size();
        } else {
            line.next = lf + 1;
            line.end = (lf > pos && file.at(lf - 1) == '\r') ? lf - 1 : lf;
        }
        lines.append(line);
        pos = line.next;
    }
    return lines;
}

QByteArrayView content(const QByteArray &file, const Line &line)
{
    return QByteArrayView(file).sliced(line.begin, line.end - line.begin);
}

// The section name when the line is a header, else a null view.
QByteArrayView sectionName(QByteArrayView text)
{
    const QByteArrayView t = trimmed(text);
    if (t.isEmpty() || t.front() != '[')
        return {};
    qsizetype close = t.indexOf(']');
    QByteArrayView name = close < 0 ? t.sliced(1) : t.sliced(1, close - 1);
    name = trimmed(name);
    return name.isNull() ? QByteArrayView("", 0) : name;
}

struct KeyLine
{
    QByteArrayView key;
    QByteArrayView value;
    bool valid = false;
};

KeyLine keyLine(QByteArrayView text)
{
    const qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return {};
    return {trimmed(text.first(eq)), trimmed(text.sliced(eq + 1)), true};
}

// Index range [first, last) of the lines that belong to the section, header
// excluded; first is -1 when the section does not exist.
struct SectionRange
{
    qsizetype header = -1;
    qsizetype first = -1;
    qsizetype last = -1;
};

SectionRange findSection(const QByteArray &file, const QList<Line> &lines, QByteArrayView section)
{
    SectionRange range;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView name = sectionName(content(file, lines[i]));
        if (name.isNull())
            continue;
        if (range.header >= 0) {
            range.last = i;
            return range;
        }
        if (sameName(name, section)) {
            range.header = i;
            range.first = i + 1;
        }
    }
    if (range.header >= 0)
        range.last = lines.size();
    return range;
}

qsizetype findKey(const QByteArray &file, const QList<Line> &lines, const SectionRange &range, QByteArrayView key)
{
    for (qsizetype i = range.first; i < range.last; ++i) {
        const KeyLine kl = keyLine(content(file, lines[i]));
        if (kl.valid && sameName(kl.key, key))
            return i;
    }
    return -1;
}

QByteArray keyText(QByteArrayView key, QByteArrayView value)
{
    QByteArray text;
    text.reserve(key.size() + value.size() + 3);
    text.append(key).append('=');
    // A value is one line: a line break inside it would forge further keys.
    for (char c : value)
        text.append(c == '\r' || c == '\n' ? ' ' : c);
    return text;
}

} // namespace

QByteArray value(const QByteArray &file, QByteArrayView section, QByteArrayView key, bool *found)
{
    if (found)
        *found = false;
    const QList<Line> lines = splitLines(file);
    const SectionRange range = findSection(file, lines, section);
    if (range.header < 0)
        return {};
    const qsizetype at = findKey(file, lines, range, key);
    if (at < 0)
        return {};
    if (found)
        *found = true;
    QByteArrayView v = keyLine(content(file, lines[at])).value;
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.sliced(1, v.size() - 2);
    return v.toByteArray();
}

QByteArray withValue(const QByteArray &file, QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QList<Line> lines = splitLines(file);
    const SectionRange range = findSection(file, lines, section);
    const QByteArray entry = keyText(key, value);
    QByteArray out;
    out.reserve(file.size() + entry.size() + section.size() + 8);

    if (range.header < 0) {
        out = file;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out.append("\r\n");
        out.append('[').append(section).append("]\r\n").append(entry).append("\r\n");
        return out;
    }

    const qsizetype at = findKey(file, lines, range, key);
    if (at >= 0) {
        const Line &line = lines[at];
        out.append(QByteArrayView(file).first(line.begin));
        out.append(entry);
        out.append(QByteArrayView(file).sliced(line.end));
        return out;
    }

    // New key: after the section's last non-blank line, so that blank lines
    // separating sections stay where they are.
    qsizetype insertAfter = range.header;
    for (qsizetype i = range.first; i < range.last; ++i) {
        if (!trimmed(content(file, lines[i])).isEmpty())
            insertAfter = i;
    }
    const Line &anchor = lines[insertAfter];
    out.append(QByteArrayView(file).first(anchor.next));
    if (anchor.next == anchor.end) // the anchor is the last line and has no line end
        out.append("\r\n");
    out.append(entry).append("\r\n");
    out.append(QByteArrayView(file).sliced(anchor.next));
    return out;
}

QByteArray withoutKey(const QByteArray &file, QByteArrayView section, QByteArrayView key)
{
    const QList<Line> lines = splitLines(file);
    const SectionRange range = findSection(file, lines, section);
    if (range.header < 0)
        return file;
    const qsizetype at = findKey(file, lines, range, key);
    if (at < 0)
        return file;
    QByteArray out = file;
    out.remove(lines[at].begin, lines[at].next - lines[at].begin);
    return out;
}

QByteArray withoutSection(const QByteArray &file, QByteArrayView section)
{
    const QList<Line> lines = splitLines(file);
    const SectionRange range = findSection(file, lines, section);
    if (range.header < 0)
        return file;
    const qsizetype from = lines[range.header].begin;
    const qsizetype to = range.last < lines.size() ? lines[range.last].begin : file.size();
    QByteArray out = file;
    out.remove(from, to - from);
    return out;
}

} // namespace ini

} // namespace zorvane
