#include "app/logo.h"

#include <QPainter>
#include <QPainterPath>

namespace app {

QPixmap logo(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath badge;
    badge.addRoundedRect(QRectF(1, 1, side - 2, side - 2), side / 6.0, side / 6.0);
    p.fillPath(badge, QColor(0x2f, 0x4f, 0x6f));
    // A tick inside a ring: a practice exam passed.
    QPen ring(QColor(0xf0, 0xc0, 0x40), side / 14.0);
    p.setPen(ring);
    p.drawEllipse(QRectF(side * 0.18, side * 0.18, side * 0.64, side * 0.64));
    QPen tick(Qt::white, side / 10.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tick);
    p.drawPolyline(QPolygonF{QPointF(side * 0.34, side * 0.52), QPointF(side * 0.46, side * 0.64),
                             QPointF(side * 0.68, side * 0.38)});
    return pixmap;
}

}  // namespace app
