#include "views/FeedStatusArea.h"

#include "desktop/AccountSessions.h"
#include "feeds/FeedController.h"
#include "views/LoadingCard.h"
#include "views/StatusLine.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include <algorithm>

FeedStatusArea::FeedStatusArea(AccountSessions& sessions, FeedOf feedOf, qreal cornerRadius, LoadingCard* loadingCard,
    QCheckBox* autoReload, QWidget* parent)
    : QWidget(parent)
    , m_sessions(sessions)
    , m_feedOf(std::move(feedOf))
    , m_cornerRadius(cornerRadius)
    , m_loadingCard(loadingCard)
    , m_autoReload(autoReload)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    connect(m_autoReload, &QCheckBox::toggled, this, [this](bool on) {
        for (AccountSession* session : m_sessions.sessions()) {
            FeedController& feed = m_feedOf(*session);
            if (on != feed.autoReload())
                feed.setAutoReload(on);
        }
    });
    FeedController& first = m_feedOf(m_sessions.first());
    connect(&first, &FeedController::autoReloadChanged, this,
        [this, &first] { m_autoReload->setChecked(first.autoReload()); });
    m_autoReload->setChecked(first.autoReload());
    connect(&m_sessions, &AccountSessions::sessionAdded, this, [this](AccountSession* session) {
        // A new account follows the switch as the user set it.
        m_feedOf(*session).setAutoReload(m_autoReload->isChecked());
    });
    connect(&m_sessions, &AccountSessions::sessionsChanged, this, &FeedStatusArea::rebuild);
    rebuild();
}

bool FeedStatusArea::isLoading() const
{
    const QList<AccountSession*>& sessions = m_sessions.sessions();
    return std::any_of(
        sessions.begin(), sessions.end(), [this](AccountSession* session) { return m_feedOf(*session).isLoading(); });
}

void FeedStatusArea::rebuild()
{
    for (StatusLine* line : findChildren<StatusLine*>(Qt::FindDirectChildrenOnly))
        delete line;
    for (AccountSession* session : m_sessions.sessions()) {
        FeedController& feed = m_feedOf(*session);
        auto* line = new StatusLine(m_cornerRadius, this);
        m_layout->addWidget(line);
        connect(&feed, &FeedController::statusMessageChanged, line,
            [line, &feed] { line->setMessage(feed.statusMessage()); });
        connect(&feed, &FeedController::isLoadingChanged, this, &FeedStatusArea::showLoading, Qt::UniqueConnection);
        line->setMessage(feed.statusMessage());
    }
    showLoading();
}

void FeedStatusArea::showLoading()
{
    m_loadingCard->setVisible(isLoading());
    Q_EMIT isLoadingChanged();
}
