#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace bank {

struct Question {
    int id = 0;
    int line = 0;
    int category = -1;
    QString question;
    QStringList answers;  // three to five
    QList<bool> correct;  // one per answer
    QString explanation;
    QString exhibit;  // picture file name, empty for none

    int correctCount() const { return int(correct.count(true)); }
    QString questionType() const;
};

struct Exam {
    QString file;
    QList<Question> questions;  // ascending IDs
};

using TestInformation = QMap<QString, QString>;

QStringList testInformationColumns();

// Parsers: each refuses a faulty source with a SourceError naming file and line.
QStringList parseCategories(const QString& file);
Exam parseExam(const QString& file, const QStringList& categories);
TestInformation parseTestInformation(const QString& file);

}  // namespace bank
