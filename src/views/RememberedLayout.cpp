#include "views/RememberedLayout.h"

#include "storage/PreferenceStore.h"
#include "views/ContentView.h"
#include "views/FeedTableView.h"
#include "views/MainWindow.h"
#include "views/WindowPlacement.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

namespace {

QString encodeWidths(const QList<int>& widths)
{
    QStringList parts;
    for (int width : widths)
        parts << QString::number(width);
    return parts.join(u',');
}

QList<int> decodeWidths(const QString& text)
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

QRect RememberedLayout::onConnectedScreens(const QRect& geometry)
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return geometry;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    return WindowPlacement::onScreen(geometry, screens, primary->availableGeometry());
}

void RememberedLayout::attachMainWindow(MainWindow* window)
{
    restoreGeometry(window, LayoutKeys::mainWindowGeometry);
    if (m_layoutFile.boolValue(LayoutKeys::mainWindowMaximized))
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    attachTabs(window);
    attachTables(window);
}

bool RememberedLayout::attachDebugWindow(QWidget* window)
{
    return restoreGeometry(window, LayoutKeys::debugWindowGeometry);
}

bool RememberedLayout::restoreGeometry(QWidget* window, const QString& key)
{
    m_geometryKeys.insert(window, key);
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this, window] { m_geometryKeys.remove(window); });
    const std::optional<QRect> kept = WindowPlacement::decode(m_layoutFile.string(key).value_or(QString()));
    if (!kept)
        return false;
    window->setGeometry(onConnectedScreens(*kept));
    return true;
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
    const Qt::WindowStates state = window->windowState();
    if (state & Qt::WindowMinimized)
        return;
    if (qobject_cast<MainWindow*>(window))
        m_layoutFile.setBool(LayoutKeys::mainWindowMaximized, state & Qt::WindowMaximized);
    // A maximised or full-screen window keeps the geometry it goes back to.
    if (!(state & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        m_layoutFile.setString(m_geometryKeys.value(window), WindowPlacement::encode(window->geometry()));
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
    const QList<std::pair<QString, QLatin1String>> tables {
        {QStringLiteral("notificationsTable"), LayoutKeys::notificationsColumnWidths},
        {QStringLiteral("favoritesTable"), LayoutKeys::favoritesColumnWidths},
        {QStringLiteral("assignmentsTable"), LayoutKeys::assignmentsColumnWidths},
    };
    for (const auto& [name, key] : tables) {
        auto* table = window->findChild<FeedTableView*>(name);
        if (!table)
            continue;
        const QList<int> widths = decodeWidths(m_layoutFile.string(key).value_or(QString()));
        if (widths.size() == table->model()->columnCount())
            table->setResizableColumnWidths(widths);
        connect(table, &FeedTableView::columnResized, this, [this, table, key = QString(key)] {
            m_layoutFile.setString(key, encodeWidths(table->resizableColumnWidths()));
        });
    }
}
