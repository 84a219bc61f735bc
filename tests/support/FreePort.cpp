#include "FreePort.h"
