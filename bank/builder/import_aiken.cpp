#include "import_aiken.h"

#include <QRegularExpression>

#include "source_fields.h"
#include "text_input.h"

namespace bank {

ImportedFile importAiken(const QString& file) {
    static const QRegularExpression choicePattern(QStringLiteral("^([A-Za-z])\\s*[.)]\\s+(.*)$"));
    static const QRegularExpression answerPattern(QStringLiteral("^ANSWER\\s*:\\s*(.*)$"),
                                                  QRegularExpression::CaseInsensitiveOption);
    Utf8Lines lines(file);
    ImportedFile out;
    out.file = file;

    enum class State { Between, Text, Choices } state = State::Between;
    ImportedQuestion q;
    QStringList text;
    for (QString raw; lines.next(raw);) {
        const int lineNo = lines.number();
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            continue;
        }
        const QRegularExpressionMatch answer = answerPattern.match(line);
        const QRegularExpressionMatch choice = choicePattern.match(line);
        switch (state) {
            case State::Between:
                if (answer.hasMatch()) {
                    throw SourceError(
                        file, lineNo,
                        QStringLiteral("'ANSWER:' line without a question before it"));
                }
                q = ImportedQuestion{};
                q.line = lineNo;
                text = QStringList{line};
                state = State::Text;
                break;
            case State::Text:
                if (answer.hasMatch()) {
                    throw SourceError(
                        file, lineNo,
                        QStringLiteral("the question on line %1 has no choices before "
                                       "its 'ANSWER:' line")
                            .arg(q.line));
                }
                if (choice.hasMatch() && choice.captured(1).toUpper() == QLatin1String("A")) {
                    q.question = normalizedText(text.join(QLatin1Char('\n')));
                    q.answers << choice.captured(2).trimmed();
                    state = State::Choices;
                } else {
                    text << line;
                }
                break;
            case State::Choices: {
                const QChar expected(char16_t(u'A' + q.answers.size()));
                if (answer.hasMatch()) {
                    const QString key = answer.captured(1).trimmed().toUpper();
                    const qsizetype index = key.size() == 1 ? key[0].unicode() - u'A' : -1;
                    if (index < 0 || index >= q.answers.size()) {
                        throw SourceError(
                            file, lineNo,
                            QStringLiteral("'ANSWER: %1' names none of the choices A to %2")
                                .arg(answer.captured(1).trimmed())
                                .arg(QChar(char16_t(u'A' + q.answers.size() - 1))));
                    }
                    q.correct = QList<bool>(q.answers.size(), false);
                    q.correct[index] = true;
                    out.accept(q);
                    state = State::Between;
                } else if (choice.hasMatch() && choice.captured(1).toUpper() == QString(expected)) {
                    q.answers << choice.captured(2).trimmed();
                } else if (choice.hasMatch()) {
                    throw SourceError(
                        file, lineNo,
                        QStringLiteral("expected choice %1 or the 'ANSWER:' line, found "
                                       "choice %2")
                            .arg(expected)
                            .arg(choice.captured(1)));
                } else {
                    throw SourceError(
                        file, lineNo,
                        QStringLiteral("the question on line %1 has no 'ANSWER:' line "
                                       "(found '%2' after its choices)")
                            .arg(q.line)
                            .arg(line.left(40)));
                }
                break;
            }
        }
    }
    if (state != State::Between) {
        throw SourceError(file, q.line, QStringLiteral("the question here has no 'ANSWER:' line"));
    }
    return out;
}

}  // namespace bank
