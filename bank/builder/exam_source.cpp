#include <QRegularExpression>
#include <QSet>

#include "bank_model.h"
#include "source_fields.h"

namespace bank {

QString Question::questionType() const {
    return correctCount() == 1 ? QStringLiteral("single_answer")
                               : QStringLiteral("multiple_answer");
}

QStringList testInformationColumns() {
    return {QStringLiteral("test_name"),       QStringLiteral("number_of_questions"),
            QStringLiteral("test_disclaimer"), QStringLiteral("test_description"),
            QStringLiteral("copyright_date"),  QStringLiteral("author_name")};
}

QStringList parseCategories(const QString& file) {
    QStringList out;
    const QStringList lines = readUtf8File(file).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = lines[i].trimmed();
        if (name.isEmpty() || name.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (out.contains(name)) {
            throw SourceError(file, i + 1,
                              QStringLiteral("category '%1' is listed twice").arg(name));
        }
        out << name;
    }
    if (out.isEmpty()) {
        throw SourceError(file, 0, QStringLiteral("lists no category"));
    }
    return out;
}

namespace {

void finish(const QString& file, Question& q, const QStringList& categories,
            QSet<QString>& seenFields, const QMap<QChar, QString>& letters,
            const QString& answerLine, int answerLineNo) {
    const auto need = [&](const char* name) {
        if (!seenFields.contains(QLatin1String(name))) {
            throw SourceError(file, q.line,
                              QStringLiteral("question %1 has no '%2:' field")
                                  .arg(q.id)
                                  .arg(QLatin1String(name)));
        }
    };
    need("category");
    need("question");
    need("answer");
    need("explanation");
    Q_UNUSED(categories);

    const QString order = QStringLiteral("ABCDE");
    for (int i = 0; i < order.size(); ++i) {
        const auto it = letters.constFind(order[i]);
        if (it == letters.constEnd()) {
            for (int j = i + 1; j < order.size(); ++j) {
                if (letters.contains(order[j])) {
                    throw SourceError(file, q.line,
                                      QStringLiteral("question %1 has choice %2 but no choice %3")
                                          .arg(q.id)
                                          .arg(order[j])
                                          .arg(order[i]));
                }
            }
            break;
        }
        if (it->trimmed().isEmpty()) {
            throw SourceError(
                file, q.line,
                QStringLiteral("question %1: choice %2 is empty").arg(q.id).arg(order[i]));
        }
        q.answers << *it;
    }
    if (q.answers.size() < 3) {
        throw SourceError(file, q.line,
                          QStringLiteral("question %1 needs at least three choices").arg(q.id));
    }
    q.correct = QList<bool>(q.answers.size(), false);
    const QStringList keys = answerLine.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& raw : keys) {
        const QString key = raw.trimmed().toUpper();
        const int index = key.size() == 1 ? int(order.indexOf(key[0])) : -1;
        if (index < 0 || index >= q.answers.size()) {
            throw SourceError(file, answerLineNo,
                              QStringLiteral("question %1: answer '%2' names no choice")
                                  .arg(q.id)
                                  .arg(raw.trimmed()));
        }
        if (q.correct[index]) {
            throw SourceError(
                file, answerLineNo,
                QStringLiteral("question %1: answer %2 given twice").arg(q.id).arg(key));
        }
        q.correct[index] = true;
    }
    if (q.correctCount() == 0) {
        throw SourceError(file, answerLineNo,
                          QStringLiteral("question %1 has no correct answer").arg(q.id));
    }
}

}  // namespace

Exam parseExam(const QString& file, const QStringList& categories) {
    static const QRegularExpression header(QStringLiteral("^==\\s*(-?\\d+)\\s*$"));
    const ParsedText parsed = parseFieldsOf(file, kMaxExamSourceBytes);
    Exam exam;
    exam.file = file;

    Question current;
    bool inQuestion = false;
    QSet<QString> seen;
    QMap<QChar, QString> letters;
    QString answerLine;
    int answerLineNo = 0;
    QSet<int> ids;

    const auto close = [&] {
        if (!inQuestion) {
            return;
        }
        finish(file, current, categories, seen, letters, answerLine, answerLineNo);
        exam.questions << current;
    };

    for (const Entry& e : parsed.entries) {
        if (e.isMarker) {
            const QRegularExpressionMatch m = header.match(e.marker.text);
            if (!m.hasMatch()) {
                throw SourceError(file, e.marker.line,
                                  QStringLiteral("expected '== <question number>', found '%1'")
                                      .arg(e.marker.text));
            }
            close();
            bool ok = false;
            const int id = m.captured(1).toInt(&ok);
            if (!ok || id < 1) {
                throw SourceError(file, e.marker.line,
                                  QStringLiteral("question number must be a whole number from 1"));
            }
            if (ids.contains(id)) {
                throw SourceError(file, e.marker.line,
                                  QStringLiteral("question %1 appears twice").arg(id));
            }
            ids.insert(id);
            current = Question{};
            current.id = id;
            current.line = e.marker.line;
            inQuestion = true;
            seen.clear();
            letters.clear();
            answerLine.clear();
            continue;
        }
        const Field& f = e.field;
        if (!inQuestion) {
            throw SourceError(
                file, f.line,
                QStringLiteral("field '%1' before the first '== N' line").arg(f.name));
        }
        if (seen.contains(f.name)) {
            throw SourceError(
                file, f.line,
                QStringLiteral("question %1 has two '%2:' fields").arg(current.id).arg(f.name));
        }
        seen.insert(f.name);
        if (f.name == QLatin1String("category")) {
            current.category = int(categories.indexOf(f.value));
            if (current.category < 0) {
                throw SourceError(file, f.line,
                                  QStringLiteral("question %1: unknown category '%2'")
                                      .arg(current.id)
                                      .arg(f.value));
            }
        } else if (f.name == QLatin1String("question")) {
            current.question = f.value;
        } else if (f.name.size() == 1 && QStringLiteral("ABCDE").contains(f.name)) {
            letters.insert(f.name[0], f.value);
        } else if (f.name == QLatin1String("answer")) {
            answerLine = f.value;
            answerLineNo = f.line;
        } else if (f.name == QLatin1String("explanation")) {
            current.explanation = f.value;
        } else if (f.name == QLatin1String("exhibit")) {
            current.exhibit = f.value;
        } else {
            throw SourceError(file, f.line, QStringLiteral("unknown field '%1'").arg(f.name));
        }
        if (f.value.trimmed().isEmpty()) {
            throw SourceError(
                file, f.line,
                QStringLiteral("question %1: field '%2' is empty").arg(current.id).arg(f.name));
        }
    }
    close();
    if (exam.questions.isEmpty()) {
        throw SourceError(file, 0, QStringLiteral("holds no question"));
    }
    std::sort(exam.questions.begin(), exam.questions.end(),
              [](const Question& a, const Question& b) { return a.id < b.id; });
    return exam;
}

TestInformation parseTestInformation(const QString& file) {
    const ParsedText parsed = parseFields(file, readUtf8File(file));
    TestInformation info;
    const QStringList columns = testInformationColumns();
    for (const Entry& e : parsed.entries) {
        if (e.isMarker) {
            throw SourceError(file, e.marker.line,
                              QStringLiteral("unexpected '%1'").arg(e.marker.text));
        }
        if (!columns.contains(e.field.name)) {
            throw SourceError(file, e.field.line,
                              QStringLiteral("unknown field '%1'").arg(e.field.name));
        }
        info.insert(e.field.name, e.field.value);
    }
    for (const QString& column : columns) {
        if (!info.contains(column)) {
            throw SourceError(file, 0, QStringLiteral("has no '%1:' field").arg(column));
        }
    }
    return info;
}

}  // namespace bank
