#pragma once

#include <QWidget>

class DebugLogger;
class LogEntryModel;
class QComboBox;
class QListView;
class QPushButton;
class Scheduler;
class ScheduledAnimation;

// The content of the "Debug Logs" window: the shared debug log, newest at the bottom,
// with a level filter ("All" or one level) and "Clear". Whenever the number of entries
// changes, the newest entry scrolls into view (when the filter shows it).
class DebugLogView : public QWidget
{
    Q_OBJECT

public:
    DebugLogView(DebugLogger& logger, Scheduler& scheduler, QWidget* parent = nullptr);

    LogEntryModel* model() const { return m_model; }

private:
    void followCount();
    void copySelection();

    DebugLogger& m_logger;
    LogEntryModel* m_model;
    QComboBox* m_levelPicker;
    QPushButton* m_clearButton;
    QListView* m_list;
    ScheduledAnimation* m_scroll;
    qsizetype m_count;
};
