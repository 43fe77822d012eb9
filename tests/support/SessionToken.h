#pragma once

#include <QString>

#include <optional>

// The token as a child process of the test sees it: the test session's keyring and the
// preference file under the current XDG_CONFIG_HOME. Only for the throw-away keyring
// of scripts/with-test-session (see inKeyringTestSession), never a desktop's.
namespace SessionToken {

bool inKeyringTestSession();
std::optional<QString> stored();
void store(const QString& token);
void remove();

} // namespace SessionToken
