#pragma once

#include "kestrel/KestrelDialogRecord.h"

#include <QPixmap>

// The pictures of the settings dialog's device list: a device not selected, selected, or
// unavailable (it cannot be enumerated), each 14 pixels wide on a transparent ground.
namespace DeviceMarkArt {

// The picture of the mark.
QPixmap picture(DeviceMark mark);

} // namespace DeviceMarkArt
