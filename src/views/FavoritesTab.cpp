#include "views/FavoritesTab.h"

#include "core/Scheduler.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "views/ColorPalette.h"
#include "views/FeedTableView.h"
#include "views/Fonts.h"
#include "views/NotificationListModel.h"
#include "views/RowCommands.h"
#include "views/SelectionBar.h"
#include "views/Symbols.h"

#include <QEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

FavoritesTab::FavoritesTab(AccountSessions& sessions, QWidget* parent)
    : QWidget(parent)
    , m_model(new NotificationListModel(
          sessions, NotificationListModel::Source::Favorites, *sessions.first().environment().scheduler, this))
    , m_table(new FeedTableView(*sessions.first().environment().scheduler, this))
    , m_pages(new QStackedWidget(this))
    , m_emptyState(buildEmptyState())
{
    setObjectName(QStringLiteral("favoritesTab"));
    m_table->setObjectName(QStringLiteral("favoritesTable"));
    m_table->setAccessibleName(tr("Favorites"));
    m_table->setRecords(m_model);
    // The Notifications tab's columns, so that switching tabs keeps them in place; Title
    // and Reason share what the other columns leave.
    m_table->setColumnWidths({180, 0, 0, 200, 120, 120, 110}, {NotificationListModel::ActionsColumn});

    auto* commands = new RowCommands(m_table, m_model, this);

    auto* title = new QLabel(tr("Favorites"), this);
    title->setFont(Fonts::headline(font()));
    title->setContentsMargins(12, 12, 12, 12);
    m_pages->addWidget(m_emptyState);
    m_pages->addWidget(m_table);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(m_pages, 1);
    layout->addWidget(new SelectionBar(m_table, m_model, *commands, this));

    connect(m_model, &QAbstractItemModel::layoutChanged, this, &FavoritesTab::updatePage);
    tintEmptyStar();
    updatePage();
}

QWidget* FavoritesTab::buildEmptyState()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("favoritesEmptyState"));
    auto* star = new QLabel(page);
    star->setObjectName(QStringLiteral("emptyStar"));
    auto* heading = new QLabel(tr("No Favorites Yet"), page);
    heading->setFont(Fonts::title2(font()));
    auto* body = new QLabel(tr("Start by exploring your notifications and issues, then click the star icon to "
                               "save important items here for quick access."),
        page);
    body->setWordWrap(true);
    body->setAlignment(Qt::AlignHCenter);
    body->setForegroundRole(QPalette::PlaceholderText);
    // A fixed size: a wrapping label placed by alignment would be laid out one line high.
    body->setFixedWidth(460);
    body->setFixedHeight(body->heightForWidth(460));

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(40, 0, 40, 0);
    layout->setSpacing(12);
    layout->addStretch();
    layout->addWidget(star, 0, Qt::AlignHCenter);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addWidget(body, 0, Qt::AlignHCenter);
    layout->addStretch();
    return page;
}

void FavoritesTab::tintEmptyStar()
{
    m_emptyState->findChild<QLabel*>(QStringLiteral("emptyStar"))
        ->setPixmap(
            Symbols::tinted(QStringLiteral("star"), ColorPalette(palette()).color(ColorPalette::Name::Gray, 0.6))
                .pixmap(48, 48));
}

void FavoritesTab::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The star was drawn for the palette of its time.
    if (event->type() == QEvent::PaletteChange)
        tintEmptyStar();
}

bool FavoritesTab::showsEmptyState() const
{
    return m_pages->currentWidget() == m_emptyState;
}

void FavoritesTab::updatePage()
{
    m_pages->setCurrentWidget(m_model->rowCount() == 0 ? m_emptyState : static_cast<QWidget*>(m_table));
}
