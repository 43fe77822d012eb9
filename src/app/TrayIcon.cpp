#include "TrayIcon.h"

#include "views/ColorPalette.h"
#include "views/WindowActivation.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace {

QPixmap picture(const QIcon& application, TrayStatus::State state, int size)
{
    QImage image = application.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (state == TrayStatus::State::Quiet) {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int gray = qGray(line[x]);
                line[x] = qRgba(gray, gray, gray, qAlpha(line[x]) * 3 / 4);
            }
        }
    }
    if (state == TrayStatus::State::NewArrivals) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal diameter = size * 0.46;
        const QRectF dot(size - diameter, 0, diameter, diameter);
        painter.setPen(QPen(Qt::white, std::max(1.0, size / 16.0)));
        painter.setBrush(ColorPalette(QApplication::palette()).color(ColorPalette::Name::Red));
        painter.drawEllipse(dot.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    return QPixmap::fromImage(image);
}

} // namespace

TrayIcon::TrayIcon(TrayStatus& status, QWidget* window, QObject* parent)
    : QObject(parent)
    , m_status(status)
    , m_window(window)
    , m_menu(std::make_unique<QMenu>())
    , m_icon(new QSystemTrayIcon(this))
{
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    QAction* show = m_menu->addAction(tr("Show Tidewhelk"));
    show->setObjectName(QStringLiteral("trayShow"));
    connect(show, &QAction::triggered, this, [this] { WindowActivation::bringToFront(m_window); });
    QAction* resync = m_menu->addAction(tr("Re-sync"));
    resync->setObjectName(QStringLiteral("trayResync"));
    connect(resync, &QAction::triggered, this, &TrayIcon::resyncRequested);
    m_menu->addSeparator();
    QAction* quit = m_menu->addAction(tr("Quit"));
    quit->setObjectName(QStringLiteral("trayQuit"));
    connect(quit, &QAction::triggered, this, &TrayIcon::quitRequested);

    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            toggleWindow();
    });
    connect(&m_status, &TrayStatus::changed, this, &TrayIcon::update);
    update();
}

TrayIcon::~TrayIcon()
{
    // The icon leaves the status area before its menu goes.
    delete m_icon;
}

QIcon TrayIcon::iconFor(TrayStatus::State state)
{
    const QIcon application(QStringLiteral(":/icons/tidewhelk.svg"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(picture(application, state, size));
    return icon;
}

void TrayIcon::update()
{
    // Each state is drawn when first shown; the status area hears only of changes.
    QIcon& picture = m_pictures[static_cast<size_t>(m_status.state())];
    if (picture.isNull())
        picture = iconFor(m_status.state());
    if (m_icon->icon().cacheKey() != picture.cacheKey())
        m_icon->setIcon(picture);
    const QString toolTip = m_status.toolTip();
    if (m_icon->toolTip() != toolTip)
        m_icon->setToolTip(toolTip);
}

void TrayIcon::toggleWindow()
{
    QWidget* window = m_window.data();
    if (!window)
        return;
    if (window->isVisible() && !window->isMinimized() && window->isActiveWindow())
        window->hide();
    else
        WindowActivation::bringToFront(window);
}
