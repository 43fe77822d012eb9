#include "HandOverHandler.h"

#include "AddAssignmentCommand.h"
#include "TidewhelkApp.h"
#include "assignments/AssignmentsViewModel.h"
#include "views/MainWindow.h"
#include "views/WindowActivation.h"

HandOverHandler::HandOverHandler(InstanceChannel& channel, TidewhelkApp& app, QObject* parent)
    : QObject(parent)
    , m_channel(channel)
    , m_app(app)
{
    connect(&channel, &InstanceChannel::received, this, &HandOverHandler::handle);
}

void HandOverHandler::handle(quint64 id, const InstanceChannel::Message& message)
{
    if (message.kind == InstanceChannel::Kind::AddAssignment && message.argument) {
        addAssignment(id, *message.argument);
        return;
    }
    m_channel.answer(id, {});
    if (message.argument)
        m_app.urlEventHandler().handleURLEvent(message.argument);
    else
        WindowActivation::bringToFront(&m_app.window());
}

void HandOverHandler::addAssignment(quint64 id, const QString& url)
{
    AssignmentsViewModel& assignments = m_app.sessions().sessionFor(url).assignments();
    // Lives until this item's outcome arrives; other adds in between are not its own.
    auto* pending = new QObject(this);
    connect(&assignments, &AssignmentsViewModel::addAssignmentFinished, pending,
        [this, id, url, pending, &assignments](const QString& added, AddAssignmentOutcome outcome) {
            if (added != url)
                return;
            const int exitCode = AddAssignmentCommand::exitCode(outcome);
            m_channel.answer(id, {exitCode, exitCode == 2 ? QString() : assignments.toastMessage()});
            pending->deleteLater();
        });
    assignments.addAssignment(url);
}
