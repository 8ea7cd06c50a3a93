#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QVector>
#include <algorithm>
#include <functional>

namespace bench {

// The upper middle element; zero for no samples.
template <typename Samples>
typename Samples::value_type median(Samples v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? typename Samples::value_type() : v[v.size() / 2];
}

// Windows are drawn off screen unless the caller chose a platform.
inline void defaultToOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Serves events until `done` holds or limitMs have passed; false on time-out.
// Sleeps until something happens (at least every 20 ms to look at the
// clock): spinning here would take a core from the server it measures.
inline bool serveUntil(const std::function<bool()> &done, qint64 limitMs)
{
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(20);
    while (!done()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline void serveFor(qint64 ms)
{
    serveUntil([] { return false; }, ms);
}

} // namespace bench
