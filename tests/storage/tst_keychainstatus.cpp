#include "ConsoleCapture.h"
#include "storage/KeychainStatus.h"

#include <QTest>

class TestKeychainStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusError_data();
    void statusError();
};

void TestKeychainStatus::statusError_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<KeychainStatus>("status");
    QTest::addColumn<QString>("line");

    QTest::newRow("item not found") << -25300 << KeychainStatus::itemNotFound
                                    << "OSStatus error:[-25300] The specified item could not be found in the keychain.";
    QTest::newRow("not available")
        << -25291 << KeychainStatus::notAvailable
        << "OSStatus error:[-25291] No keychain is available. You may need to restart your computer.";
    QTest::newRow("interaction not allowed") << -25308 << KeychainStatus::interactionNotAllowed
                                             << "OSStatus error:[-25308] User interaction is not allowed.";
    QTest::newRow("missing entitlement")
        << -34018 << KeychainStatus::missingEntitlement
        << "OSStatus error:[-34018] Internal error when a required entitlement isn't present, client has neither "
           "application-identifier nor keychain-access-groups entitlements.";
    QTest::newRow("conversion error") << -67594 << KeychainStatus::conversionError
                                      << "OSStatus error:[-67594] A conversion error has occurred.";
    QTest::newRow("user canceled prints nothing") << -128 << KeychainStatus::userCanceled << QString();
    QTest::newRow("code outside the table")
        << -1 << KeychainStatus::unexpectedError << "OSStatus error:[-99999] Unexpected error has occurred.";
}

void TestKeychainStatus::statusError()
{
    QFETCH(int, code);
    QFETCH(KeychainStatus, status);
    QFETCH(QString, line);
    ConsoleCapture console;
    QCOMPARE(keychainStatusError(code, console), status);
    QCOMPARE(console.lines(), line.isEmpty() ? QStringList() : QStringList {line});
}

QTEST_GUILESS_MAIN(TestKeychainStatus)
#include "tst_keychainstatus.moc"
