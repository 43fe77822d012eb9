#include "FuzzSupport.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "tidewhelk-fuzz";
    static char* argv[] = {name, nullptr};
    // Kept for the whole process: libFuzzer never returns to a point where it could go.
    static QCoreApplication application(argc, argv);
}

void require(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property violated: %s\n", property);
    std::abort();
}

QByteArray bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace FuzzSupport
