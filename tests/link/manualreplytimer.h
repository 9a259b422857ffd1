#pragma once

// Moved to the link fixture of tests/support.
#include "linkfixture.h"
