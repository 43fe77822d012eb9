#pragma once

#include "views/TokenCompleter.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;
class SavedViewPicker;
class SavedViews;

// The filter row of a feed tab: the field, its "×" button (shown while there is text),
// the query's hint below it (hidden when there is none) and the completion of the token
// being typed, and the picker of the feed's saved views. It keeps no filter of its own:
// the tab binds it to its controller's text filter.
class FilterRow : public QWidget
{
    Q_OBJECT

public:
    FilterRow(const QString& name, const QString& placeholder, TokenCompleter::Completions completions,
        SavedViews& views, QWidget* parent = nullptr);

    // The controller's filter text and the hints of its query.
    void setFilter(const QString& text, const QStringList& hints);
    void focusField();
    TokenCompleter* completer() const { return m_completer; }
    SavedViewPicker* viewPicker() const { return m_viewPicker; }

Q_SIGNALS:
    // The user typed or completed a new text, or chose a saved view.
    void edited(const QString& text);
    // The "×" button or Escape.
    void clearRequested();

private:
    QLineEdit* m_field;
    QToolButton* m_clear;
    QLabel* m_hint;
    TokenCompleter* m_completer;
    SavedViewPicker* m_viewPicker;
};
