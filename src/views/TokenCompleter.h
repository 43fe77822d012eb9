#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QCompleter;
class QLineEdit;
class QStringListModel;

// Completes the token under the cursor of a line edit, not its whole text: a popup lists
// what `completions` offers for the token being typed, and choosing one replaces that
// token. Used by the feed tabs' filter fields for their qualifiers.
class TokenCompleter : public QObject
{
    Q_OBJECT

public:
    using Completions = std::function<QStringList(const QString& token)>;

    TokenCompleter(QLineEdit* field, Completions completions);

    QCompleter* completer() const { return m_completer; }

Q_SIGNALS:
    // The field's text after a completion was put in.
    void completed(const QString& text);

private:
    // Where the token under the cursor begins.
    qsizetype tokenStart() const;
    void offer();
    void insert(const QString& completion);

    QLineEdit* m_field;
    Completions m_completions;
    QStringListModel* m_model;
    QCompleter* m_completer;
};
