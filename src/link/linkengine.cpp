#include "linkengine.h"

// Placeholder until the link lands; the link owner replaces this file.
void LinkEngine::SendCommand(bool) { }
void LinkEngine::selectPort(int) { }
int LinkEngine::portNumber() const { return 1; }
bool LinkEngine::exchangeOutstanding() const { return false; }
