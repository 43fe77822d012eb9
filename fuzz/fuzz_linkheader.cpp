// The Link header a paged reply carries, as the feeds read it for the next page: the
// parser ends on any bytes, and a target it finds is written in the header, before a ">".

#include "FuzzSupport.h"
#include "github/LinkHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray value = FuzzSupport::bytes(data, size);
    const std::optional<QString> next = LinkHeader::target(value, "next");
    if (!next)
        return 0;
    const QByteArray written = next->toUtf8();
    // Bytes that are not UTF-8 come back altered; the others must be found as written.
    if (QString::fromUtf8(value).toUtf8() == value)
        FuzzSupport::require(value.contains(written), "the next target is written in the header");
    FuzzSupport::require(!written.contains('>'), "a target ends before the first >");
    return 0;
}
