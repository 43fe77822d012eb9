#include "SessionToken.h"

#include "ConsoleCapture.h"
#include "VirtualScheduler.h"
#include "storage/Environment.h"
#include "storage/Keychain.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

namespace SessionToken {

namespace {

template <typename Use>
auto withTokenStore(Use use)
{
    VirtualScheduler clock;
    ConsoleCapture console;
    PreferenceStore preferences;
    Keychain keychain(QLatin1String(SecureStorage::kServiceName), console);
    Environment environment;
    environment.scheduler = &clock;
    environment.console = &console;
    environment.preferences = &preferences;
    environment.secrets = &keychain;
    SecureStorage storage(environment);
    return use(storage);
}

} // namespace

bool inKeyringTestSession()
{
    return !qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
}

std::optional<QString> stored()
{
    return withTokenStore([](SecureStorage& storage) { return storage.getToken(); });
}

void store(const QString& token)
{
    withTokenStore([&token](SecureStorage& storage) { storage.saveToken(token); });
}

void remove()
{
    withTokenStore([](SecureStorage& storage) { storage.deleteToken(); });
}

} // namespace SessionToken
