#pragma once

// Once shutdown has begun, managers are only destroyed: a manager asked for after
// that point is not created again behind shutdown's back.
namespace ManagerLifetime {

void endCreation();
// Lets managers be created again (a fresh game in the same process, tests).
void allowCreation();
bool creationEnded();
// Logs the refused creation of the manager `typeName`.
void reportLateCreation(const char* typeName);

} // namespace ManagerLifetime
