#include "views/RememberedLayout.h"

#include "storage/PreferenceStore.h"
#include "views/ContentView.h"
#include "views/FeedTableView.h"
#include "views/MainWindow.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QRect>
#include <QStringList>
#include <QTabWidget>

#include <optional>

namespace {

// A geometry as earlier versions wrote it, "x,y,width,height"; none for any other text.
std::optional<QRect> legacyGeometry(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

// Column widths as earlier versions wrote them, "150,0,0,200,120,120"; empty for any
// other text.
QList<int> legacyWidths(const QString& text)
{
    QList<int> widths;
    for (const QString& part : text.split(u',')) {
        bool ok = false;
        const int width = part.toInt(&ok);
        if (!ok || width < 0)
            return {};
        widths << width;
    }
    return widths;
}

} // namespace

RememberedLayout::RememberedLayout(PreferenceStore& layoutFile, QObject* parent)
    : QObject(parent)
    , m_layoutFile(layoutFile)
{ }

QString RememberedLayout::filePathBeside(const QString& preferencesFile)
{
    return QFileInfo(preferencesFile).dir().filePath(QStringLiteral("layout.ini"));
}

void RememberedLayout::attachMainWindow(MainWindow* window)
{
    restoreGeometry(window, {LayoutKeys::mainWindowState, LayoutKeys::mainWindowGeometry});
    // Earlier versions kept the maximised state apart from the geometry.
    if (!m_layoutFile.data(LayoutKeys::mainWindowState) && m_layoutFile.boolValue(LayoutKeys::mainWindowMaximized))
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    attachTabs(window);
    attachTables(window);
}

bool RememberedLayout::attachDebugWindow(QWidget* window)
{
    return restoreGeometry(window, {LayoutKeys::debugWindowState, LayoutKeys::debugWindowGeometry});
}

bool RememberedLayout::restoreGeometry(QWidget* window, const GeometryKeys& keys)
{
    m_geometryKeys.insert(window, keys);
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this, window] { m_geometryKeys.remove(window); });
    if (const std::optional<QByteArray> state = m_layoutFile.data(keys.state))
        return window->restoreGeometry(*state);
    const std::optional<QRect> legacy = legacyGeometry(m_layoutFile.string(keys.legacy).value_or(QString()));
    if (!legacy)
        return false;
    // Through Qt's form, whose restoring brings a window off every screen back onto one.
    window->setGeometry(*legacy);
    return window->restoreGeometry(window->saveGeometry());
}

bool RememberedLayout::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        if (m_geometryKeys.contains(watched))
            rememberGeometry(static_cast<QWidget*>(watched));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void RememberedLayout::rememberGeometry(QWidget* window)
{
    // Minimised, the window keeps the place it comes back to.
    if (window->isMinimized())
        return;
    const GeometryKeys keys = m_geometryKeys.value(window);
    m_layoutFile.setData(keys.state, window->saveGeometry());
    m_layoutFile.remove(keys.legacy);
    if (qobject_cast<MainWindow*>(window))
        m_layoutFile.remove(LayoutKeys::mainWindowMaximized);
}

void RememberedLayout::attachTabs(MainWindow* window)
{
    QTabWidget* tabs = window->contentView()->tabs();
    const QString current = m_layoutFile.string(LayoutKeys::currentTab).value_or(QString());
    for (int index = 0; index < tabs->count(); ++index) {
        if (!current.isEmpty() && tabs->widget(index)->objectName() == current)
            tabs->setCurrentIndex(index);
    }
    connect(tabs, &QTabWidget::currentChanged, this, [this, tabs](int index) {
        if (const QWidget* tab = tabs->widget(index))
            m_layoutFile.setString(LayoutKeys::currentTab, tab->objectName());
    });
}

void RememberedLayout::attachTables(MainWindow* window)
{
    struct TableKeys
    {
        QString table;
        QString state;
        QString legacy;
        // Empty for a table that is never grouped.
        QString grouped;
    };
    const QList<TableKeys> tables {
        {QStringLiteral("notificationsTable"), LayoutKeys::notificationsHeaderState,
            LayoutKeys::notificationsColumnWidths, LayoutKeys::notificationsGroupedByRepository},
        {QStringLiteral("favoritesTable"), LayoutKeys::favoritesHeaderState, LayoutKeys::favoritesColumnWidths, {}},
        {QStringLiteral("assignmentsTable"), LayoutKeys::assignmentsHeaderState, LayoutKeys::assignmentsColumnWidths,
            LayoutKeys::assignmentsGroupedByRepository},
    };
    for (const TableKeys& keys : tables) {
        auto* table = window->findChild<FeedTableView*>(keys.table);
        if (!table)
            continue;
        QHeaderView* header = table->horizontalHeader();
        if (const std::optional<QByteArray> state = m_layoutFile.data(keys.state)) {
            header->restoreState(*state);
            table->updateAccountColumn();
        } else {
            const QList<int> widths = legacyWidths(m_layoutFile.string(keys.legacy).value_or(QString()));
            // Widths saved before the account column came have one fewer.
            const int columns = table->model()->columnCount();
            if (widths.size() == columns || widths.size() == columns - 1)
                table->setResizableColumnWidths(widths);
        }
        connect(table, &FeedTableView::columnResized, this, [this, header, keys] {
            m_layoutFile.setData(keys.state, header->saveState());
            m_layoutFile.remove(keys.legacy);
        });
        if (keys.grouped.isEmpty())
            continue;
        table->setGroupedByRepository(m_layoutFile.boolValue(keys.grouped));
        connect(table, &FeedTableView::groupedByRepositoryChanged, this,
            [this, key = keys.grouped](bool grouped) { m_layoutFile.setBool(key, grouped); });
    }
}
