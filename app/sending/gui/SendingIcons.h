#pragma once

#include "sending/ResultStatus.h"

#include <QIcon>
#include <QString>

// The pictures of the send's windows, drawn as SVG in the library's resources.
namespace SendingIcons {

// The resource path of a status's picture: a green tick (sent), a yellow disc with a red cross
// (rejected), a red question mark (failed), a sheet with a red cross (not deliverable); empty
// for a page deleted before transmission, which has no picture of its own.
QString statusIconPath(ResultStatus status);
// The picture of a status; a blank one where it has none.
QIcon statusIcon(ResultStatus status);
// The program's own picture.
QIcon programIcon();

} // namespace SendingIcons
