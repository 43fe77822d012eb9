#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// An application/x-www-form-urlencoded body: each key and value percent-encoded as
// UTF-8, joined as key=value pairs with "&", in the order given. Spaces become
// "%20" and characters allowed in a URL query (":" and "/") stay as they are; "&",
// "=" and "+" are encoded so that no value can split or alter a field.
QByteArray formBody(const QList<std::pair<QString, QString>>& fields);
