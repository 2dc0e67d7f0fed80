#include "exhibit_renderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "source_fields.h"

namespace bank {

namespace {
constexpr int kMargin = 16;
constexpr int kTitleHeight = 34;
constexpr int kMaxSide = 4000;

int sizeField(const QString& file, const Field& f) {
    bool ok = false;
    const int value = f.value.toInt(&ok);
    if (!ok || value < 1 || value > kMaxSide) {
        throw SourceError(
            file, f.line,
            QStringLiteral("'%1' must be a size from 1 to %2 pixels").arg(f.name).arg(kMaxSide));
    }
    return value;
}
}  // namespace

QImage renderExhibit(const QString& file) {
    const ParsedText parsed = parseFields(file, readUtf8File(file), true);
    QString title;
    int minWidth = 0;
    int minHeight = 0;
    bool ruled = false;
    for (const Entry& e : parsed.entries) {
        if (e.isMarker) {
            if (e.marker.text != QLatin1String("---")) {
                throw SourceError(file, e.marker.line,
                                  QStringLiteral("unexpected '%1'").arg(e.marker.text));
            }
            ruled = true;
        } else if (e.field.name == QLatin1String("title")) {
            title = e.field.value;
        } else if (e.field.name == QLatin1String("width")) {
            minWidth = sizeField(file, e.field);
        } else if (e.field.name == QLatin1String("height")) {
            minHeight = sizeField(file, e.field);
        } else {
            throw SourceError(file, e.field.line,
                              QStringLiteral("unknown field '%1'").arg(e.field.name));
        }
    }
    if (!ruled || parsed.body.isEmpty()) {
        throw SourceError(file, 0, QStringLiteral("has no picture text after a '---' line"));
    }

    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(14);
    QFont heading(QStringLiteral("DejaVu Sans"));
    heading.setPixelSize(15);
    heading.setBold(true);
    const QFontMetrics fm(mono);

    int textWidth = 0;
    for (const QString& line : parsed.body) {
        textWidth = std::max(textWidth, fm.horizontalAdvance(line));
    }
    // As wide as its text or its title, whichever is wider: no empty half page.
    const int titleWidth = QFontMetrics(heading).horizontalAdvance(title);
    const int width =
        std::min(kMaxSide, std::max({minWidth, textWidth + 2 * kMargin, titleWidth + 2 * kMargin}));
    const int height =
        std::min(kMaxSide, std::max(minHeight, kTitleHeight + kMargin * 2 +
                                                   fm.lineSpacing() * int(parsed.body.size())));

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(0, 0, width, kTitleHeight, QColor(0x2f, 0x4f, 0x6f));
    painter.setPen(Qt::white);
    painter.setFont(heading);
    painter.drawText(QRect(kMargin, 0, width - 2 * kMargin, kTitleHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, title);
    painter.setPen(QColor(0x30, 0x30, 0x30));
    painter.drawRect(0, 0, width - 1, height - 1);
    painter.setPen(Qt::black);
    painter.setFont(mono);
    int y = kTitleHeight + kMargin + fm.ascent();
    for (const QString& line : parsed.body) {
        painter.drawText(kMargin, y, line);
        y += fm.lineSpacing();
    }
    painter.end();
    return image;
}

}  // namespace bank
