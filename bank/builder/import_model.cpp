#include "import_model.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QUrl>

namespace bank {

namespace {

QString countWord(int n) {
    static const char* const words[] = {"zero", "one", "two", "three", "four", "five"};
    return n >= 0 && n <= 5 ? QLatin1String(words[n]) : QString::number(n);
}

// Control characters (NUL and the like) would only confuse the source files and the windows.
bool isStrayControl(QChar c) {
    return c.category() == QChar::Other_Control && c != u'\t' && c != u'\n';
}

QString withoutControls(QString text) {
    text.removeIf(isStrayControl);
    return text;
}

}  // namespace

void ImportedFile::accept(ImportedQuestion q) {
    // Each format cleans its texts its own way; all of them leave here alike.
    q.title = withoutControls(q.title).simplified();
    q.category = withoutControls(q.category).simplified();
    q.question = normalizedText(q.question);
    for (QString& answer : q.answers) {
        answer = normalizedText(answer);
    }
    q.explanation = normalizedText(q.explanation);
    if (q.question.isEmpty() && !q.picture.png.isEmpty()) {
        q.question = QStringLiteral("Refer to the exhibit.");
    }
    if (q.question.isEmpty()) {
        skip(q, QStringLiteral("no question text"), QStringLiteral("has no question text"));
        return;
    }
    if (q.answers.size() > 5) {
        skip(q, QStringLiteral("more than five choices"),
             QStringLiteral("has %1 choices; a question shows at most five").arg(q.answers.size()));
        return;
    }
    if (q.answers.size() < 3) {
        skip(q, QStringLiteral("fewer than three choices"),
             QStringLiteral("has %1 choice(s); a question needs at least three")
                 .arg(q.answers.size()));
        return;
    }
    for (int i = 0; i < q.answers.size(); ++i) {
        if (q.answers[i].isEmpty()) {
            skip(q, QStringLiteral("empty choice"),
                 QStringLiteral("choice %1 is empty").arg(QChar(u'A' + i)));
            return;
        }
    }
    if (q.correctCount() == 0) {
        skip(q, QStringLiteral("no correct answer"), QStringLiteral("has no correct answer"));
        return;
    }
    if (q.correctCount() > 1 &&
        !q.question.contains(QLatin1String("(Choose"), Qt::CaseInsensitive)) {
        q.question += QStringLiteral(" (Choose %1.)").arg(countWord(q.correctCount()));
        noteLeftOut(QStringLiteral("\"(Choose n.)\" added to the question text"));
    }
    questions << q;
}

void ImportedFile::skip(const ImportedQuestion& q, const QString& kind, const QString& reason) {
    skip(q.line, questionLabel(q.title, q.question), kind, reason);
}

void ImportedFile::skip(int line, const QString& label, const QString& kind,
                        const QString& reason) {
    skipped << SkippedQuestion{line, label, reason, kind};
}

QString categoryFromPath(const QString& path) {
    // A doubled slash is a slash inside a name; split on the single ones.
    static const QChar kPlaceholder(0xE000);
    QString text = path.trimmed();
    text.replace(QLatin1String("//"), QString(kPlaceholder));
    QStringList parts;
    static const QRegularExpression context(QStringLiteral("^\\$[a-z0-9]+\\$$"));
    for (QString part : text.split(QLatin1Char('/'))) {
        part.replace(kPlaceholder, QLatin1Char('/'));
        part = part.simplified();
        if (part.isEmpty() || (parts.isEmpty() && context.match(part).hasMatch())) {
            continue;
        }
        parts << part;
    }
    // The platform nests every category under "top".
    if (!parts.isEmpty() && parts.first() == QLatin1String("top")) {
        parts.removeFirst();
    }
    return parts.join(QLatin1String(" / "));
}

QString categoryToPath(const QString& category) {
    QStringList parts{QStringLiteral("$course$"), QStringLiteral("top")};
    for (QString part : category.split(QLatin1String(" / "))) {
        parts << part.replace(QLatin1Char('/'), QLatin1String("//"));
    }
    return parts.join(QLatin1Char('/'));
}

QString normalizedText(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QChar(0x2028), QLatin1Char('\n'));
    t.replace(QChar(0x2029), QLatin1Char('\n'));
    QStringList lines = t.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line.removeIf(isStrayControl);
        qsizetype end = line.size();
        while (end > 0 && line[end - 1].isSpace()) {
            --end;
        }
        line.truncate(end);
    }
    return lines.join(QLatin1Char('\n')).trimmed();
}

QString questionLabel(const QString& title, const QString& text) {
    const QString shown = withoutControls(title).simplified();
    const QString base = shown.isEmpty() ? withoutControls(text).simplified() : shown;
    return base.size() > 50 ? base.left(47) + QStringLiteral("...") : base;
}

QByteArray pictureAsPng(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    if (format == "png") {
        return data;
    }
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    return png;
}

QString pictureFileName(const QString& original) {
    QString base = original.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        base.truncate(dot);
    }
    QString clean;
    for (const QChar c : base) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u'.';
        clean += plain ? c : QChar(u'-');
    }
    while (clean.startsWith(QLatin1Char('.'))) {
        clean.remove(0, 1);
    }
    if (clean.isEmpty()) {
        clean = QStringLiteral("picture");
    }
    return clean + QStringLiteral(".png");
}

PictureLookup lookUpPicture(const QString& src, const QMap<QString, QByteArray>& embedded) {
    PictureLookup result;
    QByteArray data;
    QString name;
    static const QLatin1String kPluginFile("@@PLUGINFILE@@");
    if (src.startsWith(kPluginFile)) {
        QString path = QUrl::fromPercentEncoding(src.mid(kPluginFile.size()).toUtf8());
        path = path.section(QLatin1Char('?'), 0, 0);
        if (!embedded.contains(path)) {
            result.problemKind = QStringLiteral("picture missing from the file");
            result.problem =
                QStringLiteral("shows picture '%1', which the file does not hold").arg(path);
            return result;
        }
        data = embedded.value(path);
        name = path;
    } else if (src.startsWith(QLatin1String("data:image/"), Qt::CaseInsensitive) &&
               src.contains(QLatin1String(";base64,"))) {
        data = QByteArray::fromBase64(src.section(QLatin1Char(','), 1).toLatin1());
        name = QStringLiteral("picture");
    } else {
        result.problemKind = QStringLiteral("picture outside the file");
        result.problem =
            QStringLiteral("shows picture '%1' from outside the file").arg(src.left(80));
        return result;
    }
    const QByteArray png = pictureAsPng(data);
    if (png.isEmpty()) {
        result.problemKind = QStringLiteral("unreadable picture");
        result.problem = QStringLiteral("picture '%1' cannot be read").arg(name);
        return result;
    }
    result.picture = {pictureFileName(name), png};
    return result;
}

}  // namespace bank
