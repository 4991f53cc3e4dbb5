// SPDX-License-Identifier: MIT
#include "qt/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap drawBell(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;

    // A green disc: the server is watched.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x8a, 0x4c));
    p.drawEllipse(QRectF(1 * s, 1 * s, 30 * s, 30 * s));

    // The bell.
    QPainterPath bell;
    bell.moveTo(16 * s, 6 * s);
    bell.cubicTo(9 * s, 6 * s, 9 * s, 14 * s, 9 * s, 18 * s);
    bell.lineTo(7 * s, 22 * s);
    bell.lineTo(25 * s, 22 * s);
    bell.lineTo(23 * s, 18 * s);
    bell.cubicTo(23 * s, 14 * s, 23 * s, 6 * s, 16 * s, 6 * s);
    p.setBrush(QColor(0xff, 0xd5, 0x4a));
    p.setPen(QPen(QColor(0x5a, 0x3d, 0x00), 1.2 * s));
    p.drawPath(bell);
    p.drawEllipse(QRectF(14 * s, 22 * s, 4 * s, 4 * s));
    return pixmap;
}

} // namespace

QIcon AppIcon()
{
    QIcon icon;
    icon.addPixmap(drawBell(16));
    icon.addPixmap(drawBell(32));
    return icon;
}
