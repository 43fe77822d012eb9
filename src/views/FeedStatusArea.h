#pragma once

#include <QWidget>

#include <functional>

class AccountSession;
class AccountSessions;
class FeedController;
class LoadingCard;
class QCheckBox;
class QVBoxLayout;
class StatusLine;

// What a feed tab shows of its accounts' controllers: one status line per account (with
// several accounts each line names its own), the loading card while any of them syncs,
// and the auto-sync switch, which shows the first account's and sets every account's.
class FeedStatusArea : public QWidget
{
    Q_OBJECT

public:
    using FeedOf = std::function<FeedController&(AccountSession&)>;

    FeedStatusArea(AccountSessions& sessions, FeedOf feedOf, qreal cornerRadius, LoadingCard* loadingCard,
        QCheckBox* autoReload, QWidget* parent = nullptr);

    // Some account's feed syncs.
    bool isLoading() const;

Q_SIGNALS:
    void isLoadingChanged();

private:
    void rebuild();
    void showLoading();

    AccountSessions& m_sessions;
    FeedOf m_feedOf;
    qreal m_cornerRadius;
    LoadingCard* m_loadingCard;
    QCheckBox* m_autoReload;
    QVBoxLayout* m_layout;
};
