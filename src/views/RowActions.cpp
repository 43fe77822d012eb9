#include "views/RowActions.h"

#include "views/RowCommands.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

const RowAction::Face& RowAction::faceFor(const QList<int>& rows) const
{
    const bool on = isOn && !rows.isEmpty() && std::all_of(rows.begin(), rows.end(), isOn);
    return on ? onFace : face;
}

QList<int> RowAction::availableOf(const QList<int>& rows) const
{
    QList<int> available;
    for (int row : rows) {
        if (availableAt(row))
            available << row;
    }
    return available;
}

const RowAction* RowActions::find(const QString& id) const
{
    for (const RowAction& action : m_actions) {
        if (action.id == id)
            return &action;
    }
    return nullptr;
}

QList<FeedCells::Action> RowActions::buttonsAt(int row) const
{
    QList<FeedCells::Action> buttons;
    for (const RowAction& action : m_actions) {
        if (!action.hasButton() || !action.availableAt(row))
            continue;
        const RowAction::Face& face = action.faceAt(row);
        buttons << FeedCells::Action {action.id, face.symbol, face.color, face.label, action.shortcut};
    }
    return buttons;
}

void RowActions::addLinkActions(const std::function<QUrl(int row)>& linkOf)
{
    const auto hasLink = [linkOf](int row) { return linkOf(row).isValid(); };
    add({.id = QStringLiteral("open"),
        .shortcut = QKeySequence(Qt::Key_O),
        .face = {.menuText = tr("Open in Browser")},
        .isAvailable = hasLink,
        .run = [linkOf](int row) { RowCommands::open(linkOf(row)); }});
    add({.id = QStringLiteral("copyLink"),
        .shortcut = QKeySequence::Copy,
        .face = {.menuText = tr("Copy Link")},
        .isAvailable = hasLink,
        .run =
            [linkOf](int row) {
                const QUrl url = linkOf(row);
                if (url.isValid())
                    QGuiApplication::clipboard()->setText(url.toString());
            },
        .endsGroup = true});
}

RowAction RowActions::star(std::function<bool(int row)> isFavorite, std::function<void(int row)> toggle,
    std::function<void(const QList<int>& rows, bool favorite)> setFavorite)
{
    auto runOnRows = [isFavorite, setFavorite = std::move(setFavorite)](const QList<int>& rows) {
        setFavorite(rows, !std::all_of(rows.begin(), rows.end(), isFavorite));
    };
    return {.id = QStringLiteral("star"),
        .shortcut = QKeySequence(Qt::Key_S),
        .face = {QStringLiteral("star"), ColorPalette::Name::Gray, tr("Add to Favorites"), tr("Star")},
        .onFace = {QStringLiteral("star.fill"), ColorPalette::Name::Yellow, tr("Remove from Favorites"), tr("Unstar")},
        .isOn = std::move(isFavorite),
        .run = std::move(toggle),
        .runOnRows = std::move(runOnRows)};
}
