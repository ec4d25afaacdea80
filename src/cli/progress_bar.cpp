#include "cli/progress_bar.h"

#include <cstdio>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorvane {

namespace {

void write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

ProgressBar::ProgressBar(int total, QString unit) : m_total(total), m_unit(std::move(unit))
{
    m_clock.start();
}

bool ProgressBar::shown()
{
    return ::isatty(STDERR_FILENO);
}

void ProgressBar::draw(int done)
{
    const qint64 now = m_clock.elapsed();
    m_samples.push_back({now, done});
    // The current rate: over about the last two seconds.
    while (m_samples.size() > 2 && now - m_samples[1].ms >= 2000)
        m_samples.pop_front();
    const Sample &from = m_samples.front();
    const double seconds = double(now - from.ms) / 1000.0;
    const double rate = seconds > 0 ? double(done - from.done) / seconds : 0.0;
    constexpr int width = 30;
    const int filled = m_total > 0 ? int(qint64(done) * width / m_total) : width;
    write(u"\r[%1%2] %3/%4 %5  %6 %5/s\x1b[K"_s.arg(QString(filled, u'#'), QString(width - filled, u'-'))
              .arg(done)
              .arg(m_total)
              .arg(m_unit)
              .arg(rate, 0, 'f', 1));
    m_drawn = true;
}

void ProgressBar::clear()
{
    if (m_drawn)
        write(u"\r\x1b[K"_s);
    m_drawn = false;
}

} // namespace zorvane
