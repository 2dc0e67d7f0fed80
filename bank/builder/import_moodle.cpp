#include "import_moodle.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>

#include "html_text.h"
#include "source_fields.h"
#include "text_input.h"

namespace bank {

namespace {

constexpr int kMaxDepth = 64;

struct XmlNode {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
    QList<XmlNode> children;
    int line = 0;

    QString attribute(const char* key) const {
        return attributes.value(QLatin1String(key)).toString();
    }
    const XmlNode* child(const char* key) const {
        for (const XmlNode& c : children) {
            if (c.name == QLatin1String(key)) {
                return &c;
            }
        }
        return nullptr;
    }
    // The <text> of the named child, the way the format wraps every text.
    QString textOf(const char* key) const {
        const XmlNode* c = child(key);
        const XmlNode* t = c ? c->child("text") : nullptr;
        return t ? t->text : QString();
    }
};

// Files that declare no encoding or UTF-8 are checked line by line first, so that a stray byte
// of another encoding is reported on its own line rather than on line 1.
XmlNode readXml(const QString& file) {
    const QByteArray bytes = readInputBytes(file);
    QXmlStreamReader reader;
    const bool wideBom = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    static const QRegularExpression declared(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    const QRegularExpressionMatch m = declared.match(QString::fromLatin1(bytes.left(200)));
    const QString encoding = m.hasMatch() ? m.captured(1).toLower() : QString();
    if (!wideBom && (encoding.isEmpty() || encoding == QLatin1String("utf-8") ||
                     encoding == QLatin1String("utf8"))) {
        reader.addData(decodeUtf8(file, bytes));
    } else {
        reader.addData(bytes);
    }

    XmlNode root;
    QList<XmlNode*> open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (open.size() >= kMaxDepth) {
                throw SourceError(
                    file, int(reader.lineNumber()),
                    QStringLiteral("nests elements more than %1 deep").arg(kMaxDepth));
            }
            XmlNode node;
            node.name = reader.name().toString();
            node.attributes = reader.attributes();
            node.line = int(reader.lineNumber());
            if (open.isEmpty()) {
                root = node;
                open << &root;
            } else {
                open.last()->children << node;
                open << &open.last()->children.last();
            }
        } else if (reader.isEndElement()) {
            open.removeLast();
        } else if (reader.isCharacters() && !open.isEmpty()) {
            open.last()->text += reader.text();
        }
    }
    if (reader.hasError()) {
        throw SourceError(file, int(reader.lineNumber()),
                          QStringLiteral("is not well-formed XML: ") + reader.errorString());
    }
    return root;
}

struct RichText {
    QString text;
    QStringList pictures;
    QMap<QString, QByteArray> files;  // "/path/name" -> bytes
};

bool looksLikeHtml(const QString& text) {
    static const QRegularExpression markup(
        QStringLiteral("<(/?)(p|br|div|span|img|b|i|u|em|strong|sub|sup|ul|ol|li|table|tr|td|"
                       "pre|code|a|h[1-6])\\b|&(#\\d+|#x[0-9a-f]+|[a-z]+);"),
        QRegularExpression::CaseInsensitiveOption);
    return markup.match(text).hasMatch();
}

RichText readRich(const XmlNode* node) {
    RichText rich;
    if (!node) {
        return rich;
    }
    const XmlNode* textNode = node->child("text");
    const QString raw = textNode ? textNode->text : QString();
    for (const XmlNode& f : node->children) {
        if (f.name != QLatin1String("file")) {
            continue;
        }
        QString path = f.attribute("path");
        if (!path.endsWith(QLatin1Char('/'))) {
            path += QLatin1Char('/');
        }
        if (!path.startsWith(QLatin1Char('/'))) {
            path.prepend(QLatin1Char('/'));
        }
        QByteArray data = f.text.toLatin1();
        data.removeIf([](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
        rich.files.insert(path + f.attribute("name"), QByteArray::fromBase64(data));
    }
    const QString format = node->attribute("format");
    const bool plain = format == QLatin1String("plain_text") || format == QLatin1String("markdown");
    if (format == QLatin1String("html") || (!plain && looksLikeHtml(raw))) {
        const HtmlText html = htmlToPlainText(raw);
        rich.text = html.text;
        rich.pictures = html.pictures;
    } else {
        rich.text = normalizedText(raw);
    }
    return rich;
}

QString skipKindOf(const QString& type) {
    return type == QLatin1String("description") ? QStringLiteral("descriptions")
                                                : type + QStringLiteral(" questions");
}

}  // namespace

ImportedFile importMoodleXml(const QString& file) {
    const XmlNode root = readXml(file);
    if (root.name != QLatin1String("quiz")) {
        throw SourceError(
            file, root.line,
            QStringLiteral("is no question file: its root element is <%1>, not <quiz>")
                .arg(root.name));
    }
    ImportedFile out;
    out.file = file;
    QString category;
    for (const XmlNode& node : root.children) {
        if (node.name != QLatin1String("question")) {
            continue;
        }
        const QString type = node.attribute("type");
        if (type == QLatin1String("category")) {
            category = categoryFromPath(node.textOf("category"));
            continue;
        }
        ImportedQuestion q;
        q.line = node.line;
        q.title = node.textOf("name").simplified();
        q.category = category;
        const RichText text = readRich(node.child("questiontext"));
        q.question = text.text;
        if (type != QLatin1String("multichoice")) {
            out.skip(q, skipKindOf(type),
                     type == QLatin1String("description")
                         ? QStringLiteral("is a description, not a question")
                         : QStringLiteral("is of kind '%1'; only multiple-choice questions can "
                                          "be presented")
                               .arg(type));
            continue;
        }
        if (text.pictures.size() > 1) {
            out.skip(q, QStringLiteral("several pictures"),
                     QStringLiteral("shows %1 pictures; a question has one exhibit")
                         .arg(text.pictures.size()));
            continue;
        }
        if (text.pictures.size() == 1) {
            const PictureLookup found = lookUpPicture(text.pictures.first(), text.files);
            if (!found.problem.isEmpty()) {
                out.skip(q, found.problemKind, found.problem);
                continue;
            }
            q.picture = found.picture;
        }

        const RichText feedback = readRich(node.child("generalfeedback"));
        q.explanation = feedback.text;
        if (!feedback.pictures.isEmpty()) {
            out.noteLeftOut(QStringLiteral("pictures in the explanation"));
        }

        const QString singleText =
            node.child("single") ? node.child("single")->text.trimmed() : QStringLiteral("true");
        const bool single = singleText.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                            singleText == QLatin1String("1");
        QList<double> fractions;
        bool choicePicture = false;
        bool choiceFeedback = false;
        for (const XmlNode& a : node.children) {
            if (a.name != QLatin1String("answer")) {
                continue;
            }
            const RichText answer = readRich(&a);
            if (!answer.pictures.isEmpty()) {
                choicePicture = true;
            }
            // The platform drops empty choices when it saves a question; so do we.
            if (answer.text.isEmpty() && answer.pictures.isEmpty()) {
                continue;
            }
            bool ok = true;
            const QString fractionText = a.attribute("fraction");
            const double fraction = fractionText.isEmpty() ? 0.0 : fractionText.toDouble(&ok);
            if (!ok || !std::isfinite(fraction)) {
                throw SourceError(
                    file, a.line,
                    QStringLiteral("answer fraction '%1' is not a number").arg(fractionText));
            }
            if (!htmlToPlainText(a.textOf("feedback")).text.isEmpty()) {
                choiceFeedback = true;
            }
            q.answers << answer.text;
            fractions << fraction;
        }
        if (choicePicture) {
            out.skip(q, QStringLiteral("picture in a choice"),
                     QStringLiteral("shows a picture in a choice; choices are text only"));
            continue;
        }
        double best = 0.0;
        for (const double f : fractions) {
            best = std::max(best, f);
        }
        bool partial = false;
        for (const double f : fractions) {
            // A single-answer question has one right choice; partial credit counts as wrong.
            const bool right = single ? best > 0.0 && std::abs(f - best) < 1e-6 : f > 0.0;
            partial = partial || (single && f > 0.0 && !right);
            q.correct << right;
        }
        if (single && q.correctCount() > 1) {
            out.skip(q, QStringLiteral("several full-credit choices"),
                     QStringLiteral("takes one answer but gives full credit to %1 choices")
                         .arg(q.correctCount()));
            continue;
        }
        const int before = int(out.questions.size());
        out.accept(q);
        if (out.questions.size() > before) {
            if (partial) {
                out.noteLeftOut(QStringLiteral("partial credit (now counted as wrong)"));
            }
            if (choiceFeedback) {
                out.noteLeftOut(QStringLiteral("per-choice feedback"));
            }
        }
    }
    return out;
}

}  // namespace bank
