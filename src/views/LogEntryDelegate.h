#pragma once

#include <QStyledItemDelegate>

// Paints one entry of the debug log on a row tinted with its level's colour: the time,
// the level's mark, the source in the level's colour and the message, which wraps.
class LogEntryDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The colour of a level (LogLevel as int) in `palette`.
    static QColor levelColor(int level, const QPalette& palette);

private:
    struct Columns
    {
        QRect time;
        QRect mark;
        QRect source;
        QRect message;
    };
    Columns columns(const QFont& mono, const QRect& row, const QString& message) const;
};
