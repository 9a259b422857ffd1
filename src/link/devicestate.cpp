#include "devicestate.h"

DeviceState::DeviceState() = default;
