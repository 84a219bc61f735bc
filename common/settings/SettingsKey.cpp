#include "SettingsKey.h"
