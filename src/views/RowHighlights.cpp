#include "views/RowHighlights.h"

#include "core/Scheduler.h"
#include "views/ColorPalette.h"
#include "views/FeedCells.h"

#include <QEasingCurve>

using namespace std::chrono_literals;

namespace {

constexpr auto kHighlightFrameInterval = 33ms;

} // namespace

RowHighlights::RowHighlights(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{ }

QColor RowHighlights::background(const QModelIndex& index, const QPalette& palette)
{
    const QString id = index.data(FeedCells::RecordIdRole).toString();
    if (!m_shown.contains(id)) {
        m_shown.insert(id);
        if (index.data(FeedCells::IsNewRole).toBool()) {
            m_fadeStarts.insert(id, m_scheduler.now());
            if (!m_frames.isActive())
                m_frames = m_scheduler.startRepeating(kHighlightFrameInterval, [this] { nextFrame(); });
        }
    }
    const auto fade = m_fadeStarts.constFind(id);
    if (fade != m_fadeStarts.constEnd()) {
        const qint64 elapsed = fade->msecsTo(m_scheduler.now());
        if (elapsed < fadeMilliseconds) {
            const qreal progress
                = QEasingCurve(QEasingCurve::InOutQuad).valueForProgress(qreal(elapsed) / qreal(fadeMilliseconds));
            return ColorPalette(palette).color(ColorPalette::Name::Yellow, 0.5 * (1.0 - progress));
        }
    }
    if (index.row() == m_hoveredRow)
        return ColorPalette(palette).color(ColorPalette::Name::Blue, 0.2);
    return Qt::transparent;
}

void RowHighlights::nextFrame()
{
    const QDateTime now = m_scheduler.now();
    m_fadeStarts.removeIf([&now](const auto& fade) { return fade.value().msecsTo(now) >= fadeMilliseconds; });
    Q_EMIT frameDue();
    if (m_fadeStarts.isEmpty())
        m_frames.cancel();
}
