#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QVector>

// The pictures of the drivers' windows, drawn with QPainter: the progress dialog's two
// animations (one frame per phase on the left; a connecting loop and a connected loop on the
// right) and the control's icon.
namespace ClipArt {

// What the pictures show: a dialled modem line (IXO/TAP) or a network connection (SNPP).
enum class Theme { ModemLine, Network };

// The theme of a driver by its origin tag ("plover" is the network driver).
Theme themeOf(const QString& tag);
// The size of the left clip's frames.
QSize phaseFrameSize();
// The size of the right clip's frames.
QSize linkFrameSize();
// The left clip: `count` frames, frame p showing phase p (0 idle, 1 dialling or connecting,
// 2 logging in, 3 sending, 4 hanging up); frames past 4 repeat the last phase's picture.
QVector<QPixmap> phaseFrames(Theme theme, int count);
// The right clip: `count` frames, frames 0..connectingLast a call being set up, the rest the
// connected line carrying pages.
QVector<QPixmap> linkFrames(Theme theme, int count, int connectingLast);
// The control's icon (32 by 32) for the about box.
QPixmap controlIcon(Theme theme);

} // namespace ClipArt
