#pragma once

#include "core/TimerHandle.h"

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QModelIndex>
#include <QObject>
#include <QSet>

class QPalette;
class Scheduler;

// The background of a feed table's rows: a new record flashes yellow when its row is
// first shown and fades out over three seconds (ease in and out); otherwise the row under
// the mouse is tinted blue. Fades are computed from the scheduler's clock when rows are
// painted; frames are requested only while a fade is under way.
class RowHighlights : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 fadeMilliseconds = 3000;

    explicit RowHighlights(Scheduler& scheduler, QObject* parent = nullptr);

    int hoveredRow() const { return m_hoveredRow; }
    void setHoveredRow(int row) { m_hoveredRow = row; }

    // The background of `index`'s row as painted now; transparent for none. The first
    // call for a record that is new starts its fade.
    QColor background(const QModelIndex& index, const QPalette& palette);

Q_SIGNALS:
    // A fade moved on: the rows should be painted again.
    void frameDue();

private:
    void nextFrame();

    Scheduler& m_scheduler;
    int m_hoveredRow = -1;
    QSet<QString> m_shown;
    QHash<QString, QDateTime> m_fadeStarts;
    TimerHandle m_frames;
};
