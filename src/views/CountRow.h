#pragma once

#include <QWidget>

class QLabel;

// The line above a list: its row count in a headline, and the text filter it shows,
// "(filtered by: "…")", while there is one.
class CountRow : public QWidget
{
    Q_OBJECT

public:
    // `countName` is the object name of the count's label.
    CountRow(const QString& countName, QWidget* parent);

    void show(const QString& countText, const QString& filter);

private:
    QLabel* m_count;
    QLabel* m_filteredBy;
};
