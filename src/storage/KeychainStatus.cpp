#include "storage/KeychainStatus.h"

#include "core/Console.h"

#include <algorithm>
#include <iterator>

namespace {

struct Row
{
    KeychainStatus status;
    QStringView message;
};

constexpr Row kRows[] = {
    {KeychainStatus::success, u"No error."},
    {KeychainStatus::unimplemented, u"Function or operation not implemented."},
    {KeychainStatus::diskFull, u"The disk is full."},
    {KeychainStatus::io, u"I/O error."},
    {KeychainStatus::openForWrite, u"The file is already open with write permission."},
    {KeychainStatus::param, u"One or more parameters passed to a function were not valid."},
    {KeychainStatus::writePermissions, u"A write permissions error occurred."},
    {KeychainStatus::allocate, u"Failed to allocate memory."},
    {KeychainStatus::userCanceled, u"User canceled the operation."},
    {KeychainStatus::badRequest, u"Bad parameter or invalid state for operation."},
    {KeychainStatus::internalComponent, u"An internal component failed."},
    {KeychainStatus::coreFoundationUnknown, u"An unknown Core Foundation error occurred."},
    {KeychainStatus::notAvailable, u"No keychain is available. You may need to restart your computer."},
    {KeychainStatus::readOnly, u"This keychain cannot be modified."},
    {KeychainStatus::authFailed, u"The user name or passphrase you entered is not correct."},
    {KeychainStatus::noSuchKeychain, u"The specified keychain could not be found."},
    {KeychainStatus::invalidKeychain, u"The specified keychain is not a valid keychain file."},
    {KeychainStatus::duplicateKeychain, u"A keychain with the same name already exists."},
    {KeychainStatus::duplicateCallback, u"The specified callback function is already installed."},
    {KeychainStatus::invalidCallback, u"The specified callback function is not valid."},
    {KeychainStatus::duplicateItem, u"The specified item already exists in the keychain."},
    {KeychainStatus::itemNotFound, u"The specified item could not be found in the keychain."},
    {KeychainStatus::bufferTooSmall, u"There is not enough memory available to use the specified item."},
    {KeychainStatus::dataTooLarge,
        u"This item contains information which is too large or in a format that cannot be "
        "displayed."},
    {KeychainStatus::noSuchAttribute, u"The specified attribute does not exist."},
    {KeychainStatus::invalidItemReference,
        u"The specified item is no longer valid. It may have been deleted from "
        "the keychain."},
    {KeychainStatus::invalidSearchReference, u"Unable to search the current keychain."},
    {KeychainStatus::noSuchClass, u"The specified item does not appear to be a valid keychain item."},
    {KeychainStatus::noDefaultKeychain, u"A default keychain could not be found."},
    {KeychainStatus::interactionNotAllowed, u"User interaction is not allowed."},
    {KeychainStatus::readOnlyAttribute, u"The specified attribute could not be modified."},
    {KeychainStatus::wrongVersion,
        u"This keychain was created by a different version of the system software and "
        "cannot be opened."},
    {KeychainStatus::keySizeNotAllowed, u"This item specifies a key size which is too large or too small."},
    {KeychainStatus::noStorageModule, u"A required component (data storage module) could not be loaded."},
    {KeychainStatus::interactionRequired, u"User interaction is required, but is currently not allowed."},
    {KeychainStatus::dataNotAvailable, u"The contents of this item cannot be retrieved."},
    {KeychainStatus::dataNotModifiable, u"The contents of this item cannot be modified."},
    {KeychainStatus::noAccessForItem, u"The specified item has no access control."},
    {KeychainStatus::decode, u"Unable to decode the provided data."},
    {KeychainStatus::missingEntitlement,
        u"Internal error when a required entitlement isn't present, client has "
        "neither application-identifier nor keychain-access-groups entitlements."},
    {KeychainStatus::serviceNotAvailable, u"The required service is not available."},
    {KeychainStatus::conversionError, u"A conversion error has occurred."},
    {KeychainStatus::unexpectedError, u"Unexpected error has occurred."},
};

// The row of `code`, or the last row (unexpectedError) when no row carries it.
const Row& rowFor(qint32 code)
{
    const auto row = std::find_if(
        std::begin(kRows), std::end(kRows), [code](const Row& r) { return static_cast<qint32>(r.status) == code; });
    return row == std::end(kRows) ? *std::prev(std::end(kRows)) : *row;
}

} // namespace

KeychainStatus keychainStatusFromCode(qint32 code)
{
    return rowFor(code).status;
}

QString keychainStatusMessage(KeychainStatus status)
{
    return rowFor(static_cast<qint32>(status)).message.toString();
}

KeychainStatus keychainStatusError(qint32 code, Console& console)
{
    const KeychainStatus status = keychainStatusFromCode(code);
    if (status != KeychainStatus::userCanceled)
        console.print(QStringLiteral("OSStatus error:[") + QString::number(static_cast<qint32>(status))
            + QStringLiteral("] ") + keychainStatusMessage(status));
    return status;
}
