#pragma once

#include <QString>

// A filter query kept under a name the user chose, offered in the tab's view picker.
struct SavedView
{
    QString name;
    QString query;

    bool operator==(const SavedView&) const = default;
};
