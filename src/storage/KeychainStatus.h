#pragma once

#include <QLatin1String>
#include <QString>

class Console;

// The result codes the Keychain wrapper reports, each with the one-line message
// that callers print. The codes are those of the Security framework result table,
// so that logs read the same on every platform; the Secret Service outcomes are
// translated into them by Keychain. A code outside this table is unexpectedError.
enum class KeychainStatus : qint32 {
    success = 0,
    unimplemented = -4,
    diskFull = -34,
    io = -36,
    openForWrite = -49,
    param = -50,
    writePermissions = -61,
    allocate = -108,
    userCanceled = -128,
    badRequest = -909,
    internalComponent = -2070,
    coreFoundationUnknown = -4960,
    notAvailable = -25291,
    readOnly = -25292,
    authFailed = -25293,
    noSuchKeychain = -25294,
    invalidKeychain = -25295,
    duplicateKeychain = -25296,
    duplicateCallback = -25297,
    invalidCallback = -25298,
    duplicateItem = -25299,
    itemNotFound = -25300,
    bufferTooSmall = -25301,
    dataTooLarge = -25302,
    noSuchAttribute = -25303,
    invalidItemReference = -25304,
    invalidSearchReference = -25305,
    noSuchClass = -25306,
    noDefaultKeychain = -25307,
    interactionNotAllowed = -25308,
    readOnlyAttribute = -25309,
    wrongVersion = -25310,
    keySizeNotAllowed = -25311,
    noStorageModule = -25312,
    interactionRequired = -25315,
    dataNotAvailable = -25316,
    dataNotModifiable = -25317,
    noAccessForItem = -25243,
    decode = -26275,
    missingEntitlement = -34018,
    serviceNotAvailable = -67585,
    conversionError = -67594,
    unexpectedError = -99999,
};

// The error domain of the wrapper's failures.
inline constexpr QLatin1String keychainErrorDomain {"com.marrowfen.tidewhelk.Keychain"};

// The status that carries `code`; unexpectedError for a code that none carries.
KeychainStatus keychainStatusFromCode(qint32 code);

// The status's one-line message, its localized description as an error.
QString keychainStatusMessage(KeychainStatus status);

// Turns a result code into the wrapper's error and prints
// "OSStatus error:[<code>] <message>" for it, unless the user cancelled: a code
// outside the table is printed and returned as unexpectedError.
KeychainStatus keychainStatusError(qint32 code, Console& console);
