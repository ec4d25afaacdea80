#pragma once

#include <QElapsedTimer>
#include <QString>

#include <deque>

namespace zorvane {

// The progress of a command over many items, on standard error when it is a
// terminal: "[#########---------] 12/40 files  8.3 files/s", redrawn in place.
class ProgressBar
{
public:
    // unit: what is counted, plural ("files", "pictures").
    ProgressBar(int total, QString unit);

    // Whether standard error is a terminal, where a bar can be redrawn.
    static bool shown();

    void draw(int done);
    // Clears the bar, so that a line can be printed in its place.
    void clear();

private:
    struct Sample
    {
        qint64 ms;
        int done;
    };

    int m_total;
    QString m_unit;
    QElapsedTimer m_clock;
    std::deque<Sample> m_samples;
    bool m_drawn = false;
};

} // namespace zorvane
