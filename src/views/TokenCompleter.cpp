#include "views/TokenCompleter.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

TokenCompleter::TokenCompleter(QLineEdit* field, Completions completions)
    : QObject(field)
    , m_field(field)
    , m_completions(std::move(completions))
    , m_model(new QStringListModel(this))
    , m_completer(new QCompleter(m_model, this))
{
    // Attached to the field without QLineEdit::setCompleter, which would complete and
    // replace the whole text.
    m_completer->setWidget(field);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->popup()->setObjectName(QStringLiteral("filterCompletions"));
    m_completer->popup()->setAccessibleName(tr("Filter suggestions"));
    connect(field, &QLineEdit::textEdited, this, &TokenCompleter::offer);
    connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this, &TokenCompleter::insert);
}

qsizetype TokenCompleter::tokenStart() const
{
    const QString text = m_field->text();
    qsizetype start = m_field->cursorPosition();
    while (start > 0 && !text.at(start - 1).isSpace())
        --start;
    return start;
}

void TokenCompleter::offer()
{
    const qsizetype start = tokenStart();
    const QString token = m_field->text().mid(start, m_field->cursorPosition() - start);
    const QStringList offers = token.isEmpty() ? QStringList() : m_completions(token);
    if (offers.isEmpty() || offers == QStringList {token}) {
        m_completer->popup()->hide();
        return;
    }
    m_model->setStringList(offers);
    m_completer->setCompletionPrefix(token);
    m_completer->complete();
}

void TokenCompleter::insert(const QString& completion)
{
    const QString text = m_field->text();
    const qsizetype start = tokenStart();
    qsizetype end = m_field->cursorPosition();
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    // A qualifier's name waits for its value; a whole token is followed by a space at
    // the end of the text, ready for the next one.
    const bool awaitsValue = completion.endsWith(u':');
    const QString separator = awaitsValue || end < text.size() ? QString() : QStringLiteral(" ");
    m_field->setText(text.left(start) + completion + separator + text.mid(end));
    m_field->setCursorPosition(int(start + completion.size() + separator.size()));
    Q_EMIT completed(m_field->text());
    if (awaitsValue)
        offer();
}
