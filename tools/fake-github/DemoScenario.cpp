#include "DemoScenario.h"

namespace DemoScenario {

QString directory()
{
    return QStringLiteral(":/fake-github/demo");
}

QString enterpriseDirectory()
{
    return QStringLiteral(":/fake-github/demo-enterprise");
}

} // namespace DemoScenario
