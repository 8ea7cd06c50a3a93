#pragma once
#include <QByteArray>
#include <QVector>
#include <algorithm>

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

} // namespace bench
