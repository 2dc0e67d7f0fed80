#include "import_gift.h"

#include <QSet>

#include "html_text.h"
#include "source_fields.h"
#include "text_input.h"

namespace bank {

namespace {

// One character of a question with where it came from; escaped characters never act as markup.
struct GiftChar {
    QChar c;
    bool escaped = false;
    int line = 0;
};
using GiftText = QList<GiftChar>;

struct SourceLine {
    int number = 0;
    QString text;
};

GiftText tokenize(const QList<SourceLine>& lines) {
    static const QString escapable = QStringLiteral("~=#{}:\\");
    GiftText out;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const SourceLine& l = lines[n];
        if (n > 0) {
            out << GiftChar{QLatin1Char('\n'), false, lines[n - 1].number};
        }
        for (qsizetype i = 0; i < l.text.size(); ++i) {
            const QChar c = l.text[i];
            if (c == u'\\' && i + 1 < l.text.size()) {
                const QChar next = l.text[i + 1];
                if (escapable.contains(next)) {
                    out << GiftChar{next, true, l.number};
                    ++i;
                    continue;
                }
                if (next == u'n') {
                    out << GiftChar{QLatin1Char('\n'), true, l.number};
                    ++i;
                    continue;
                }
            }
            out << GiftChar{c, c == u'\\', l.number};
        }
    }
    return out;
}

bool isMarkup(const GiftText& t, qsizetype i, char c) {
    return i >= 0 && i < t.size() && !t[i].escaped && t[i].c == QLatin1Char(c);
}

qsizetype findMarkup(const GiftText& t, qsizetype from, qsizetype to, char c) {
    for (qsizetype i = from; i < to; ++i) {
        if (isMarkup(t, i, c)) {
            return i;
        }
    }
    return -1;
}

QString textOf(const GiftText& t, qsizetype from, qsizetype to) {
    QString s;
    for (qsizetype i = std::max<qsizetype>(from, 0); i < to && i < t.size(); ++i) {
        s += t[i].c;
    }
    return s;
}

qsizetype skipBlanks(const GiftText& t, qsizetype i, qsizetype to) {
    while (i < to && !t[i].escaped && t[i].c.isSpace()) {
        ++i;
    }
    return i;
}

struct Answer {
    bool right = false;  // '=' rather than '~'
    double weight = 0;
    QString text;
    QStringList pictures;
    bool feedback = false;
    bool matching = false;
};

class GiftParser {
public:
    GiftParser(QString file, ImportedFile& out) : file_(std::move(file)), out_(out) {}

    void question(const QList<SourceLine>& lines, const QString& category);

private:
    HtmlText convert(const QString& text) const {
        if (format_ == QLatin1String("html")) {
            return htmlToPlainText(text);
        }
        return {normalizedText(text), {}};
    }
    QList<Answer> answers(const GiftText& t, qsizetype from, qsizetype to, QString& feedback);

    QString file_;
    ImportedFile& out_;
    QString format_;
};

void GiftParser::question(const QList<SourceLine>& lines, const QString& category) {
    const GiftText t = tokenize(lines);
    ImportedQuestion q;
    q.line = lines.first().number;
    q.category = category;
    const qsizetype end = t.size();

    qsizetype pos = skipBlanks(t, 0, end);
    if (isMarkup(t, pos, ':') && isMarkup(t, pos + 1, ':')) {
        qsizetype close = -1;
        for (qsizetype i = pos + 2; i + 1 < end; ++i) {
            if (isMarkup(t, i, ':') && isMarkup(t, i + 1, ':')) {
                close = i;
                break;
            }
        }
        if (close < 0) {
            throw SourceError(file_, t[pos].line,
                              QStringLiteral("the '::' title opened here is never closed"));
        }
        q.title = textOf(t, pos + 2, close).simplified();
        pos = skipBlanks(t, close + 2, end);
    }
    format_ = QStringLiteral("moodle");
    if (isMarkup(t, pos, '[')) {
        const qsizetype close = findMarkup(t, pos, end, ']');
        static const QSet<QString> formats{QStringLiteral("html"), QStringLiteral("moodle"),
                                           QStringLiteral("plain"), QStringLiteral("markdown")};
        const QString name = close < 0 ? QString() : textOf(t, pos + 1, close).toLower();
        if (formats.contains(name)) {
            format_ = name;
            pos = close + 1;
        }
    }

    const qsizetype open = findMarkup(t, pos, end, '{');
    const qsizetype stray = findMarkup(t, pos, open < 0 ? end : open, '}');
    if (stray >= 0) {
        throw SourceError(file_, t[stray].line, QStringLiteral("'}' without a '{' before it"));
    }
    if (open < 0) {
        out_.skip(q.line, questionLabel(q.title, textOf(t, pos, end)),
                  QStringLiteral("descriptions"),
                  QStringLiteral("has no answer block: a description, not a question"));
        return;
    }
    const qsizetype close = findMarkup(t, open + 1, end, '}');
    if (close < 0) {
        throw SourceError(file_, t[open].line,
                          QStringLiteral("the '{' opened here is never closed"));
    }
    if (const qsizetype nested = findMarkup(t, open + 1, close, '{'); nested >= 0) {
        throw SourceError(
            file_, t[nested].line,
            QStringLiteral("'{' inside the answer block opened on line %1").arg(t[open].line));
    }
    // Further blocks make an embedded-answers question; still check them for balance.
    int blocks = 1;
    for (qsizetype i = close + 1, depthOpen = -1; i < end; ++i) {
        if (isMarkup(t, i, '{')) {
            if (depthOpen >= 0) {
                throw SourceError(file_, t[i].line,
                                  QStringLiteral("'{' inside the answer block opened on line %1")
                                      .arg(t[depthOpen].line));
            }
            depthOpen = i;
            ++blocks;
        } else if (isMarkup(t, i, '}')) {
            if (depthOpen < 0) {
                throw SourceError(file_, t[i].line, QStringLiteral("'}' without a '{' before it"));
            }
            depthOpen = -1;
        }
        if (i + 1 == end && depthOpen >= 0) {
            throw SourceError(file_, t[depthOpen].line,
                              QStringLiteral("the '{' opened here is never closed"));
        }
    }

    const QString before = textOf(t, pos, open).trimmed();
    const QString after = textOf(t, close + 1, end).trimmed();
    const HtmlText text = convert(
        after.isEmpty() ? before : QString(before + QStringLiteral(" _____ ") + after).trimmed());
    q.question = text.text;
    if (blocks > 1) {
        out_.skip(
            q, QStringLiteral("several answer blocks"),
            QStringLiteral("has %1 answer blocks (an embedded-answers question)").arg(blocks));
        return;
    }

    const qsizetype first = skipBlanks(t, open + 1, close);
    const QString inside = textOf(t, first, close).trimmed();
    if (first == close) {
        out_.skip(q, QStringLiteral("essay questions"),
                  QStringLiteral("is an essay question; only multiple-choice questions can be "
                                 "presented"));
        return;
    }
    if (isMarkup(t, first, '#')) {
        out_.skip(q, QStringLiteral("numerical questions"),
                  QStringLiteral("is a numerical question; only multiple-choice questions can "
                                 "be presented"));
        return;
    }
    const qsizetype hash = findMarkup(t, first, close, '#');
    static const QSet<QString> truth{QStringLiteral("T"), QStringLiteral("F"),
                                     QStringLiteral("TRUE"), QStringLiteral("FALSE")};
    if (truth.contains(textOf(t, first, hash < 0 ? close : hash).trimmed().toUpper())) {
        out_.skip(q, QStringLiteral("true/false questions"),
                  QStringLiteral("is a true/false question; only multiple-choice questions can "
                                 "be presented"));
        return;
    }

    QString feedback;
    const QList<Answer> choices = answers(t, first, close, feedback);
    const HtmlText explanation = convert(feedback);
    q.explanation = explanation.text;
    bool anyWrong = false;
    bool anyMatching = false;
    bool anyPicture = false;
    bool anyFeedback = false;
    for (const Answer& a : choices) {
        anyWrong = anyWrong || !a.right;
        anyMatching = anyMatching || a.matching;
        anyPicture = anyPicture || !a.pictures.isEmpty();
        anyFeedback = anyFeedback || a.feedback;
        q.answers << a.text;
        q.correct << (a.weight > 0);
    }
    if (anyMatching) {
        out_.skip(q, QStringLiteral("matching questions"),
                  QStringLiteral("is a matching question; only multiple-choice questions can be "
                                 "presented"));
        return;
    }
    if (!anyWrong) {
        out_.skip(q, QStringLiteral("short-answer questions"),
                  QStringLiteral("is a short-answer question (no '~' choice); only "
                                 "multiple-choice questions can be presented"));
        return;
    }
    if (anyPicture) {
        out_.skip(q, QStringLiteral("picture in a choice"),
                  QStringLiteral("shows a picture in a choice; choices are text only"));
        return;
    }
    if (text.pictures.size() > 1) {
        out_.skip(q, QStringLiteral("several pictures"),
                  QStringLiteral("shows %1 pictures; a question has one exhibit")
                      .arg(text.pictures.size()));
        return;
    }
    if (text.pictures.size() == 1) {
        const PictureLookup found = lookUpPicture(text.pictures.first(), {});
        if (!found.problem.isEmpty()) {
            out_.skip(q, found.problemKind, found.problem);
            return;
        }
        q.picture = found.picture;
    }
    if (!explanation.pictures.isEmpty()) {
        out_.noteLeftOut(QStringLiteral("pictures in the explanation"));
    }
    const int kept = int(out_.questions.size());
    out_.accept(q);
    if (anyFeedback && out_.questions.size() > kept) {
        out_.noteLeftOut(QStringLiteral("per-choice feedback"));
    }
}

QList<Answer> GiftParser::answers(const GiftText& t, qsizetype from, qsizetype to,
                                  QString& feedback) {
    // "####" starts the general feedback, which runs to the end of the block.
    for (qsizetype i = from; i + 3 < to; ++i) {
        if (isMarkup(t, i, '#') && isMarkup(t, i + 1, '#') && isMarkup(t, i + 2, '#') &&
            isMarkup(t, i + 3, '#')) {
            feedback = textOf(t, i + 4, to).trimmed();
            to = i;
            break;
        }
    }
    QList<qsizetype> starts;
    for (qsizetype i = from; i < to; ++i) {
        if (isMarkup(t, i, '=') || isMarkup(t, i, '~')) {
            starts << i;
        } else if (starts.isEmpty() && !t[i].c.isSpace()) {
            throw SourceError(
                file_, t[i].line,
                QStringLiteral("expected '=' or '~' to start an answer, found '%1'").arg(t[i].c));
        }
    }
    QList<Answer> out;
    for (qsizetype n = 0; n < starts.size(); ++n) {
        const qsizetype start = starts[n];
        const qsizetype stop = n + 1 < starts.size() ? starts[n + 1] : to;
        Answer a;
        a.right = t[start].c == u'=';
        a.weight = a.right ? 100.0 : 0.0;
        qsizetype textStart = skipBlanks(t, start + 1, stop);
        if (isMarkup(t, textStart, '%')) {
            const qsizetype close = findMarkup(t, textStart + 1, stop, '%');
            bool ok = false;
            const QString number =
                close < 0 ? QString() : textOf(t, textStart + 1, close).trimmed();
            a.weight = number.toDouble(&ok);
            if (!ok) {
                throw SourceError(
                    file_, t[textStart].line,
                    QStringLiteral("answer weight '%%1%' is not a number")
                        .arg(close < 0 ? textOf(t, textStart + 1, stop).trimmed() : number));
            }
            textStart = close + 1;
        }
        const qsizetype hash = findMarkup(t, textStart, stop, '#');
        const qsizetype textEnd = hash < 0 ? stop : hash;
        a.feedback = hash >= 0 && !textOf(t, hash + 1, stop).trimmed().isEmpty();
        for (qsizetype i = textStart; i + 1 < textEnd; ++i) {
            if (isMarkup(t, i, '-') && isMarkup(t, i + 1, '>')) {
                a.matching = true;
            }
        }
        const HtmlText text = convert(textOf(t, textStart, textEnd).trimmed());
        a.text = text.text;
        a.pictures = text.pictures;
        out << a;
    }
    return out;
}

}  // namespace

ImportedFile importGift(const QString& file) {
    Utf8Lines lines(file);
    ImportedFile out;
    out.file = file;
    GiftParser parser(file, out);
    QString category;
    QList<SourceLine> block;
    const auto finish = [&] {
        // A category line may open a block of its own or the question below it.
        while (!block.isEmpty() &&
               block.first().text.trimmed().startsWith(QLatin1String("$CATEGORY:"))) {
            category = categoryFromPath(
                block.first().text.trimmed().mid(int(QStringLiteral("$CATEGORY:").size())));
            block.removeFirst();
        }
        if (!block.isEmpty()) {
            parser.question(block, category);
        }
        block.clear();
    };
    for (QString line; lines.next(line);) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("//"))) {
            continue;
        }
        if (trimmed.isEmpty()) {
            finish();
            continue;
        }
        block << SourceLine{lines.number(), line};
    }
    finish();
    return out;
}

}  // namespace bank
