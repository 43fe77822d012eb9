#pragma once

#include "github/GitHubEndpoints.h"
#include "github/ServerAddress.h"

#include <QString>

// One GitHub account of the user: a login on a server. The first account keeps its
// keys at the top of the preference file and its token in the item it always had; a
// further one keeps its keys under its group of the file and its token in an item
// that names its server and login.
struct Account
{
    // Empty while unknown: the first account before its login was read.
    QString login;
    GitHubEndpoints endpoints;
    // Empty for the first account.
    QString group;

    bool isFirst() const { return group.isEmpty(); }
    // The server's host text: "github.com", "github.example.com", "127.0.0.1:8080".
    QString host() const { return ServerAddress::hostOf(endpoints); }
    // "login@host", or the host alone while the login is unknown.
    QString name() const { return login.isEmpty() ? host() : login + u'@' + host(); }
    // How the window and the console show it: "login · host", or the host alone.
    QString label() const { return login.isEmpty() ? host() : login + QStringLiteral(" · ") + host(); }
};
