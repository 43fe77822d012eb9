#include "TokenCommands.h"

#include "AppEnvironment.h"
#include "core/Console.h"
#include "storage/SecureStorage.h"

#include <QString>

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// Turns the terminal's echo off for as long as it lives, when standard input is one.
class EchoOff
{
public:
    EchoOff()
    {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (m_active)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

    bool isActive() const { return m_active; }

private:
    termios m_saved {};
    bool m_active = false;
};

} // namespace

std::optional<QString> readTokenFromStandardInput(Console& errors)
{
    std::string line;
    {
        const EchoOff echoOff;
        if (echoOff.isActive()) {
            std::fputs("GitHub token: ", stderr);
            std::fflush(stderr);
        }
        std::getline(std::cin, line);
        if (echoOff.isActive())
            std::fputs("\n", stderr);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const QString token = QString::fromStdString(line);
    if (token.isEmpty()) {
        errors.print(QStringLiteral("No token given on standard input; nothing stored."));
        return std::nullopt;
    }
    return token;
}

int setTokenFromStandardInput(const Environment& environment, Console& errors)
{
    const std::optional<QString> token = readTokenFromStandardInput(errors);
    if (!token)
        return 1;
    SecureStorage(environment).saveToken(*token);
    return 0;
}

int signOut(const Environment& environment)
{
    SecureStorage(environment).deleteToken();
    return 0;
}

int printAccounts(AppEnvironment& services, Console& console)
{
    for (const Account& account : services.accounts().accounts()) {
        const bool stored = SecureStorage(services.environmentOf(account)).hasToken();
        console.print((account.login.isEmpty() ? QStringLiteral("-") : account.login) + u'\t' + account.host() + u'\t'
            + (stored ? QStringLiteral("token stored") : QStringLiteral("no token")));
    }
    return 0;
}
