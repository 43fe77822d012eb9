#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QString>

#include <algorithm>

// What the decoding and persistence benchmarks build and time.
namespace BenchData {

// `count` notification threads in the shape of GitHub's thread example (its large
// repository object included), each with its own id, update time, title and subject:
// pull requests, issues, discussions and releases in turn.
QJsonArray exampleThreads(int count);

// GitHub's GET /issues item (a pull request with its repository), `count` times over
// with its own id, title and update time.
QJsonArray exampleIssues(int count);

// A distinct ISO 8601 update time for the `index`th item.
QString updateTime(int index);

// The middle value of `values` (the upper one of an even count).
template <typename Values>
typename Values::value_type median(Values values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Wall time of one run of `work`.
template <typename Work>
qint64 nanoseconds(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed();
}

} // namespace BenchData
