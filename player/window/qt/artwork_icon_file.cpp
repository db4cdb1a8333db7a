#include "player/window/qt/artwork_icon_file.h"

#include <QtEndian>

#include "player/window/qt/artwork.h"

namespace kam::artwork {
namespace {

void Put16(QByteArray& out, quint16 v) {
  const quint16 le = qToLittleEndian(v);
  out.append(reinterpret_cast<const char*>(&le), 2);
}

void Put32(QByteArray& out, quint32 v) {
  const quint32 le = qToLittleEndian(v);
  out.append(reinterpret_cast<const char*>(&le), 4);
}

// BITMAPINFOHEADER with doubled height (colour rows then mask rows), bottom-up rows.
QByteArray DibOf(const QImage& source) {
  const QImage img = source.convertToFormat(QImage::Format_ARGB32);
  const int w = img.width(), h = img.height();
  QByteArray dib;
  Put32(dib, 40);
  Put32(dib, quint32(w));
  Put32(dib, quint32(h * 2));
  Put16(dib, 1);   // planes
  Put16(dib, 32);  // bits per pixel
  Put32(dib, 0);   // BI_RGB
  Put32(dib, 0);
  Put32(dib, 0);
  Put32(dib, 0);
  Put32(dib, 0);
  Put32(dib, 0);
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const QRgb p = row[x];
      dib.append(char(qBlue(p)));
      dib.append(char(qGreen(p)));
      dib.append(char(qRed(p)));
      dib.append(char(qAlpha(p)));
    }
  }
  // Mask: 1 where fully transparent, rows padded to 32 bits.
  const int mask_stride = ((w + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row(mask_stride, '\0');
    const QRgb* px = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      if (qAlpha(px[x]) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
    }
    dib.append(row);
  }
  return dib;
}

}  // namespace

QByteArray EncodeIco(const std::vector<QImage>& images) {
  std::vector<QByteArray> dibs;
  std::vector<QSize> sizes;
  for (const QImage& img : images) {
    if (img.isNull() || img.width() > 256 || img.height() > 256) continue;
    dibs.push_back(DibOf(img));
    sizes.push_back(img.size());
  }
  QByteArray out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, quint16(dibs.size()));
  quint32 offset = 6 + 16 * quint32(dibs.size());
  for (size_t i = 0; i < dibs.size(); ++i) {
    out.append(char(sizes[i].width() == 256 ? 0 : sizes[i].width()));
    out.append(char(sizes[i].height() == 256 ? 0 : sizes[i].height()));
    out.append(char(0));  // no palette
    out.append(char(0));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, quint32(dibs[i].size()));
    Put32(out, offset);
    offset += quint32(dibs[i].size());
  }
  for (const QByteArray& d : dibs) out.append(d);
  return out;
}

QByteArray ProgramIconFile() { return EncodeIco({IconImage(16), IconImage(32), IconImage(48)}); }

}  // namespace kam::artwork
