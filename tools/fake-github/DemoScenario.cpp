#include "DemoScenario.h"

namespace DemoScenario {

QString directory()
{
    return QStringLiteral(":/fake-github/demo");
}

} // namespace DemoScenario
