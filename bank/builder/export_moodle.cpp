#include "export_moodle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamWriter>

#include "examdb/error.h"
#include "examdb/statement.h"
#include "html_text.h"
#include "import_model.h"
#include "input_file.h"
#include "source_fields.h"

namespace bank {

namespace {

struct Row {
    qint64 id = 0;
    QString question;
    QStringList answers;
    QList<bool> correct;
    QString explanation;
    QString exhibit;
    QString category;
};

QStringList categoryNames(sqlite3* db, const QString& database) {
    QStringList names;
    examdb::Statement s(db, QStringLiteral("SELECT cat_desc FROM cat ORDER BY rowid"), database);
    while (s.step()) {
        names << s.value(0).toString();
    }
    return names;
}

QList<Row> keyRows(sqlite3* db, const QString& database, int exam, const QStringList& categories) {
    examdb::Statement s(
        db,
        QStringLiteral("SELECT k.ID, k.question, k.answer1, k.answer2, k.answer3, k.answer4, "
                       "k.answer5, k.correctanswer1, k.correctanswer2, k.correctanswer3, "
                       "k.correctanswer4, k.correctanswer5, k.explanation, k.diagram1, e.catID, "
                       "e.cat_desc FROM exam%1 k LEFT JOIN exam%2 e ON e.ID = k.ID ORDER BY k.ID")
            .arg(exam * 11)
            .arg(exam),
        database);
    QList<Row> rows;
    while (s.step()) {
        Row r;
        r.id = s.value(0).toLongLong();
        r.question = normalizedText(s.value(1).toString());
        for (int i = 0; i < 5; ++i) {
            const QString answer = normalizedText(s.value(2 + i).toString());
            if (!answer.isEmpty()) {
                r.answers << answer;
                r.correct << (s.value(7 + i).toInt() != 0);
            }
        }
        r.explanation = normalizedText(s.value(12).toString());
        r.exhibit = s.value(13).toString().trimmed();
        // The category list names the category; the row's own copy stands in for a bad number.
        bool ok = false;
        const int catId = s.value(14).toInt(&ok);
        r.category = ok && catId >= 0 && catId < categories.size() ? categories[catId]
                                                                   : s.value(15).toString();
        rows << r;
    }
    return rows;
}

void writeText(QXmlStreamWriter& xml, const char* element, const QString& html) {
    xml.writeStartElement(QLatin1String(element));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    xml.writeTextElement(QStringLiteral("text"), html);
    xml.writeEndElement();
}

// Shares of the mark for each correct choice that the platform accepts as they are.
QString fractionFor(bool correct, int correctCount) {
    if (!correct) {
        // With several right choices a wrong tick costs the whole mark, as it does here.
        return correctCount > 1 ? QStringLiteral("-100") : QStringLiteral("0");
    }
    static const char* const shares[] = {"100", "100", "50", "33.33333", "25", "20"};
    return QLatin1String(shares[std::clamp(correctCount, 1, 5)]);
}

// A one-paragraph choice goes without the <p>, as the platform writes its own choices.
QString choiceHtml(const QString& text) {
    const QString html = plainTextToHtml(text);
    if (html.count(QLatin1String("<p>")) == 1) {
        return html.mid(3, html.size() - 7);
    }
    return html;
}

void writeQuestion(QXmlStreamWriter& xml, const Row& r, int exam, const QDir& folder,
                   const QString& database) {
    QByteArray picture;
    if (!r.exhibit.isEmpty()) {
        QFile f(folder.filePath(r.exhibit));
        if (r.exhibit.contains(QLatin1Char('/')) || !f.open(QIODevice::ReadOnly)) {
            throw SourceError(database, 0,
                              QStringLiteral("exam%1 ID %2: exhibit '%3' cannot be read")
                                  .arg(exam * 11)
                                  .arg(r.id)
                                  .arg(r.exhibit));
        }
        picture = f.readAll();
    }
    const int correctCount = int(r.correct.count(true));

    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));
    xml.writeStartElement(QStringLiteral("name"));
    xml.writeTextElement(QStringLiteral("text"),
                         QStringLiteral("Exam %1, question %2").arg(exam).arg(r.id));
    xml.writeEndElement();

    QString html = plainTextToHtml(r.question);
    if (!picture.isEmpty()) {
        html += QStringLiteral("<p><img src=\"@@PLUGINFILE@@/%1\" alt=\"Exhibit\"></p>")
                    .arg(QString::fromLatin1(QUrl::toPercentEncoding(r.exhibit)));
    }
    xml.writeStartElement(QStringLiteral("questiontext"));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    xml.writeTextElement(QStringLiteral("text"), html);
    if (!picture.isEmpty()) {
        xml.writeStartElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("name"), r.exhibit);
        xml.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        xml.writeCharacters(QString::fromLatin1(picture.toBase64()));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    writeText(xml, "generalfeedback", plainTextToHtml(r.explanation));
    xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
    xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0.3333333"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("single"),
                         correctCount == 1 ? QStringLiteral("true") : QStringLiteral("false"));
    // Explanations name choices by letter, so the order stays.
    xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
    xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
    for (int i = 0; i < r.answers.size(); ++i) {
        xml.writeStartElement(QStringLiteral("answer"));
        xml.writeAttribute(QStringLiteral("fraction"), fractionFor(r.correct[i], correctCount));
        xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
        xml.writeTextElement(QStringLiteral("text"), choiceHtml(r.answers[i]));
        writeText(xml, "feedback", QString());
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

}  // namespace

QByteArray exportMoodleXml(const QString& database, int exam) {
    if (exam < 0 || exam > 3) {
        throw SourceError(database, 0, QStringLiteral("there are exams 1 to 3 only"));
    }
    if (const QString why = notAFile(database); !why.isEmpty()) {
        throw SourceError(database, 0, why);
    }
    // The whole file is written out as one text.
    if (QFileInfo(database).size() > kMaxDatabaseBytes) {
        throw SourceError(database, 0, tooLargeReason(kMaxDatabaseBytes));
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(database).constData(), &raw,
                                   SQLITE_OPEN_READONLY, nullptr);
    examdb::ConnectionHandle db(raw);
    if (rc != SQLITE_OK) {
        throw SourceError(
            database, 0,
            QStringLiteral("cannot be opened: ") + QString::fromUtf8(sqlite3_errmsg(raw)));
    }
    const QDir folder = QFileInfo(database).absoluteDir();

    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    try {
        const QStringList categories = categoryNames(db.get(), database);
        int written = 0;
        QString category;
        for (int n = 1; n <= 3; ++n) {
            if (exam != 0 && n != exam) {
                continue;
            }
            const QList<Row> rows = keyRows(db.get(), database, n, categories);
            for (const Row& r : rows) {
                if (written == 0 || r.category != category) {
                    category = r.category;
                    xml.writeStartElement(QStringLiteral("question"));
                    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
                    xml.writeStartElement(QStringLiteral("category"));
                    xml.writeTextElement(QStringLiteral("text"), categoryToPath(category));
                    xml.writeEndElement();
                    xml.writeEndElement();
                }
                writeQuestion(xml, r, n, folder, database);
                ++written;
            }
        }
        if (written == 0) {
            throw SourceError(database, 0,
                              exam == 0 ? QStringLiteral("holds no question")
                                        : QStringLiteral("exam %1 holds no question").arg(exam));
        }
    } catch (const examdb::Error& e) {
        throw SourceError(database, 0, e.text);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

}  // namespace bank
