#include "app/window_frame.h"

#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "app/edition.h"
#include "examdb/data_source.h"
#include "look/inks.h"

namespace app {

void useEditionFile(examdb::DataSource& source, const QString& name, const QString& recordSource) {
    source.setObjectName(name);
    source.setDatabaseName(edition().databaseFile);
    source.setConnectString(kConnectString);
    source.setRecordSource(recordSource);
}

void showMaximizedOnScreen(QWidget& window) {
    if (!window.isVisible()) {
        if (const QScreen* screen = window.screen()) {
            window.setGeometry(screen->availableGeometry());
        }
    }
    window.showMaximized();
    window.raise();
    window.activateWindow();
}

void useReportBackground(QWidget& window) {
    look::paintGround(window, look::Ground::Report);
}

QPixmap exhibitButtonPicture() {
    QPixmap picture(104, 33);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x2b, 0x4a, 0x6f), 1.5));
    painter.setBrush(QColor(0xdc, 0xe8, 0xf5));
    painter.drawRoundedRect(QRectF(1, 1, 102, 31), 6, 6);
    // A small framed picture left of the word, so the button reads as "open the picture".
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(9, 8, 20, 16));
    painter.drawLine(QPointF(11, 22), QPointF(18, 14));
    painter.drawLine(QPointF(18, 14), QPointF(27, 22));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(0x2b, 0x4a, 0x6f));
    painter.drawText(QRectF(34, 0, 68, 33), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Exhibit"));
    return picture;
}

}  // namespace app
