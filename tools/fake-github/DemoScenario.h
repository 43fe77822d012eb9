#pragma once

#include <QString>

// The offline demo's scenarios, built into the program that serves them: the first
// account's (see demo/) and a smaller one of a second account on an Enterprise Server
// (see demo-enterprise/).
namespace DemoScenario {

// The scenario directory, inside the program's resources.
QString directory();
// The second account's scenario directory, served under "/api/v3".
QString enterpriseDirectory();

} // namespace DemoScenario
