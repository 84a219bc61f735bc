#include "RegistryText.h"
