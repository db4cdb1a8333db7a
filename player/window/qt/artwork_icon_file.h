// The bytes of an .ico file holding several images, each as a 32-bit BGRA bitmap with its
// 1-bit mask, the form every icon reader understands (the tray, the taskbar, ExtractIcon).
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace kam::artwork {

// Images of at most 256 x 256 pixels; larger ones are skipped.
QByteArray EncodeIco(const std::vector<QImage>& images);

// The program icon file: the artwork at 16, 32 and 48 pixels.
QByteArray ProgramIconFile();

}  // namespace kam::artwork
