#pragma once

#include <QString>

// The offline demo's scenario, built into the program that serves it (see demo/).
namespace DemoScenario {

// The scenario directory, inside the program's resources.
QString directory();

} // namespace DemoScenario
