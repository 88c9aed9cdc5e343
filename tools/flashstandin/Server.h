#pragma once

namespace flashstandin {

// Counts the live controls, so that the DLL can tell COM when it may be unloaded.
void ServerObjectCreated();
void ServerObjectDestroyed();

} // namespace flashstandin
