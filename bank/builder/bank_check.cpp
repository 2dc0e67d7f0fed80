#include "bank_check.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

#include "examdb/error.h"
#include "examdb/schema_check.h"
#include "examdb/statement.h"
#include "input_file.h"
#include "session/attempt_marks.h"

namespace bank {

namespace {

constexpr int kFullEditionCategorySlots = 19;
constexpr int kDemoEditionCategorySlots = 18;

class Checker {
public:
    Checker(sqlite3* db, QString file) : db_(db), file_(std::move(file)) {}

    QStringList run() {
        if (!checkTables()) {
            return problems_;
        }
        const int categories = countOf(QStringLiteral("SELECT count(*) FROM cat"));
        if (categories == 0) {
            problems_ << QStringLiteral("cat: holds no category");
        }
        const bool demo = QFileInfo(file_).fileName().compare(QLatin1String("kvn009.mdb"),
                                                              Qt::CaseInsensitive) == 0;
        const int slots = demo ? kDemoEditionCategorySlots : kFullEditionCategorySlots;
        if (categories > slots) {
            problems_ << QStringLiteral("cat: %1 categories, more than the score sheet's %2")
                             .arg(categories)
                             .arg(slots);
        }
        if (countOf(QStringLiteral("SELECT count(*) FROM \"Test Information\"")) == 0) {
            problems_ << QStringLiteral("Test Information: holds no row");
        }
        int examsInUse = 0;
        for (int exam = 1; exam <= 3; ++exam) {
            const QString examTable = QStringLiteral("exam%1").arg(exam);
            const QString keyTable = QStringLiteral("exam%1").arg(exam * 11);
            if (countOf(QStringLiteral("SELECT count(*) FROM ") + examTable) == 0 &&
                countOf(QStringLiteral("SELECT count(*) FROM ") + keyTable) == 0) {
                continue;
            }
            ++examsInUse;
            checkPair(examTable, keyTable, categories);
        }
        if (examsInUse == 0) {
            problems_ << QStringLiteral("exam1: holds no question");
        }
        checkAttempt();
        return problems_;
    }

private:
    bool checkTables() {
        bool allThere = true;
        for (const examdb::TableRequirement& req : examdb::requiredTables()) {
            examdb::Statement info(db_, QStringLiteral("SELECT name FROM pragma_table_info(?)"),
                                   file_);
            info.bind(1, req.table);
            QStringList columns;
            while (info.step()) {
                columns << info.value(0).toString().toLower();
            }
            if (columns.isEmpty()) {
                problems_ << QStringLiteral("%1: table missing").arg(req.table);
                allThere = false;
                continue;
            }
            for (const QString& column : req.columns) {
                if (!columns.contains(column.toLower())) {
                    problems_ << QStringLiteral("%1: column %2 missing").arg(req.table, column);
                    allThere = false;
                }
            }
        }
        return allThere;
    }

    // The program's record of an exam under way, when the file has one: what it would need to
    // take the exam up again must be there and fit the draw it belongs to.
    void checkAttempt() {
        const QString table = QStringLiteral("tblAttempt");
        // A view passes for the table below, and neither it nor an index can ever be written.
        examdb::Statement kind(db_,
                               QStringLiteral("SELECT type FROM sqlite_master WHERE name = "
                                              "'tblAttempt' COLLATE NOCASE AND type IN ('view', "
                                              "'index')"),
                               file_);
        if (kind.step()) {
            problems_ << QStringLiteral("%1: is %2, not a table")
                             .arg(table, kind.value(0).toString() == QLatin1String("index")
                                             ? QStringLiteral("an index")
                                             : QStringLiteral("a view"));
            return;
        }
        QStringList columns;
        examdb::Statement info(db_, QStringLiteral("SELECT name FROM pragma_table_info(?)"), file_);
        info.bind(1, table);
        while (info.step()) {
            columns << info.value(0).toString().toLower();
        }
        if (columns.isEmpty()) {
            return;
        }
        bool complete = true;
        for (const char* column :
             {"attempt_no", "exam", "candidate", "questions", "elapsed", "position", "flags"}) {
            if (!columns.contains(QLatin1String(column))) {
                problems_
                    << QStringLiteral("%1: column %2 missing").arg(table, QLatin1String(column));
                complete = false;
            }
        }
        if (!complete) {
            return;
        }
        const int rows = countOf(QStringLiteral("SELECT count(*) FROM tblAttempt"));
        if (rows > 1) {
            problems_ << QStringLiteral("%1: holds %2 rows, one exam at most can be under way")
                             .arg(table)
                             .arg(rows);
        }
        const auto attemptProblem = [this, &table](const QString& sql) {
            examdb::Statement s(db_, sql, file_);
            while (s.step()) {
                problems_ << table + QStringLiteral(": ") + s.value(0).toString();
            }
        };
        attemptProblem(
            QStringLiteral("SELECT 'exam ' || quote(exam) || ' is not 1, 2 or 3' FROM tblAttempt "
                           "WHERE typeof(exam) <> 'integer' OR exam NOT BETWEEN 1 AND 3"));
        attemptProblem(
            QStringLiteral("SELECT 'questions ' || quote(questions) || ' differs from the ' || "
                           "(SELECT count(*) FROM tblRandom) || ' drawn' FROM tblAttempt "
                           "WHERE typeof(questions) <> 'integer' OR questions <> (SELECT count(*) "
                           "FROM tblRandom)"));
        attemptProblem(QStringLiteral(
            "SELECT 'elapsed ' || quote(elapsed) || ' is not a count of seconds' FROM tblAttempt "
            "WHERE typeof(elapsed) <> 'integer' OR elapsed NOT BETWEEN 0 AND 2147483647"));
        attemptProblem(QStringLiteral(
            "SELECT 'position ' || quote(position) || ' is not a question of the draw' FROM "
            "tblAttempt WHERE typeof(position) <> 'integer' OR position NOT BETWEEN 1 AND "
            "(SELECT count(*) FROM tblRandom)"));
        for (int exam = 1; exam <= 3; ++exam) {
            attemptProblem(QStringLiteral("SELECT 'drawn ID ' || r.ID || ' is not in exam%1' FROM "
                                          "tblRandom r, tblAttempt a WHERE a.exam = %1 AND "
                                          "r.ID NOT IN (SELECT ID FROM exam%1)")
                               .arg(exam));
        }
        attemptProblem(
            QStringLiteral("SELECT 'drawn ID ' || ID || ' is drawn ' || count(*) || "
                           "' times' FROM tblRandom WHERE EXISTS (SELECT 1 FROM "
                           "tblAttempt) GROUP BY ID HAVING count(*) > 1"));
        examdb::Statement flags(db_, QStringLiteral("SELECT flags, questions FROM tblAttempt"),
                                file_);
        while (flags.step()) {
            if (flags.value(0).isNull() ||
                !exam::attempt::decodeMarks(flags.value(0).toString(), flags.value(1).toInt())) {
                problems_ << QStringLiteral("%1: flags '%2' are not the program's marks")
                                 .arg(table, flags.value(0).toString());
            }
        }
    }

    int countOf(const QString& sql) {
        examdb::Statement s(db_, sql, file_);
        return s.step() ? s.value(0).toInt() : 0;
    }

    // Every row of the query is one violation: column 0 the ID, column 1 the message.
    void collect(const QString& table, const QString& sql) {
        examdb::Statement s(db_, sql, file_);
        while (s.step()) {
            const QVariant id = s.value(0);
            problems_ << QStringLiteral("%1 ID %2: %3")
                             .arg(table, id.isNull() ? QStringLiteral("NULL") : id.toString(),
                                  s.value(1).toString());
        }
    }

    void checkIdsAndOrder(const QString& table) {
        collect(table, QStringLiteral("SELECT ID, 'ID used by ' || count(*) || ' rows' FROM %1 "
                                      "GROUP BY ID HAVING count(*) > 1")
                           .arg(table));
        collect(
            table,
            QStringLiteral("SELECT NULL, 'a row has no ID' FROM %1 WHERE ID IS NULL").arg(table));
        collect(
            table,
            QStringLiteral(
                "SELECT ID, 'first stored row does not carry the lowest ID' FROM "
                "(SELECT ID FROM %1 ORDER BY rowid LIMIT 1) WHERE ID <> (SELECT min(ID) FROM %1)")
                .arg(table));
        collect(table,
                QStringLiteral("SELECT ID, 'last stored row does not carry the highest ID' FROM "
                               "(SELECT ID FROM %1 ORDER BY rowid DESC LIMIT 1) WHERE ID <> "
                               "(SELECT max(ID) FROM %1)")
                    .arg(table));
    }

    void checkAnswers(const QString& table, bool key) {
        collect(table,
                QStringLiteral("SELECT ID, 'has a fifth answer but no fourth' FROM %1 "
                               "WHERE coalesce(answer5, '') <> '' AND coalesce(answer4, '') = ''")
                    .arg(table));
        collect(table,
                QStringLiteral("SELECT ID, 'has fewer than two answers' FROM %1 "
                               "WHERE coalesce(answer1, '') = '' OR coalesce(answer2, '') = ''")
                    .arg(table));
        for (int i = 1; i <= 5; ++i) {
            collect(table,
                    QStringLiteral(
                        "SELECT ID, 'correctanswer%2 holds ' || quote(correctanswer%2) || ', not "
                        "Yes or No' "
                        "FROM %1 WHERE correctanswer%2 IS NULL OR correctanswer%2 NOT IN (0, 1)")
                        .arg(table)
                        .arg(i));
            if (key) {
                collect(table, QStringLiteral(
                                   "SELECT ID, 'answer %2 is marked correct but is empty' FROM %1 "
                                   "WHERE correctanswer%2 = 1 AND coalesce(answer%2, '') = ''")
                                   .arg(table)
                                   .arg(i));
            }
        }
    }

    void checkPair(const QString& examTable, const QString& keyTable, int categories) {
        checkIdsAndOrder(examTable);
        checkIdsAndOrder(keyTable);
        checkAnswers(examTable, false);
        checkAnswers(keyTable, true);

        collect(examTable, QStringLiteral("SELECT ID, 'has no row in %2' FROM %1 WHERE ID NOT IN "
                                          "(SELECT ID FROM %2 WHERE ID IS NOT NULL)")
                               .arg(examTable, keyTable));
        collect(keyTable, QStringLiteral("SELECT ID, 'has no row in %2' FROM %1 WHERE ID NOT IN "
                                         "(SELECT ID FROM %2 WHERE ID IS NOT NULL)")
                              .arg(keyTable, examTable));
        for (const char* column : {"question", "answer1", "answer2", "answer3", "answer4",
                                   "answer5", "explanation", "question_type", "diagram1"}) {
            collect(examTable,
                    QStringLiteral(
                        "SELECT e.ID, '%3 differs from %2' FROM %1 e JOIN %2 k ON e.ID = k.ID "
                        "WHERE coalesce(e.%3, '') <> coalesce(k.%3, '')")
                        .arg(examTable, keyTable, QLatin1String(column)));
        }

        collect(examTable,
                QStringLiteral(
                    "SELECT ID, 'catID ' || quote(catID) || ' is not a category number (0 to %2)' "
                    "FROM %1 WHERE catID IS NULL OR typeof(catID) <> 'integer' OR catID < 0 OR "
                    "catID > %2")
                    .arg(examTable)
                    .arg(categories - 1));
        collect(examTable,
                QStringLiteral(
                    "SELECT e.ID, 'cat_desc ' || quote(e.cat_desc) || ' is not the name of "
                    "category ' || e.catID "
                    "FROM %1 e JOIN (SELECT row_number() OVER (ORDER BY rowid) - 1 AS n, cat_desc "
                    "FROM cat) c "
                    "ON c.n = e.catID WHERE coalesce(e.cat_desc, '') <> coalesce(c.cat_desc, '')")
                    .arg(examTable));
        examdb::Statement carried(
            db_, QStringLiteral("SELECT DISTINCT catID FROM %1").arg(examTable), file_);
        QSet<int> seen;
        while (carried.step()) {
            seen.insert(carried.value(0).toInt());
        }
        for (int i = 0; i < categories; ++i) {
            if (!seen.contains(i)) {
                problems_ << QStringLiteral("%1: category %2 is carried by no question")
                                 .arg(examTable)
                                 .arg(i);
            }
        }

        collect(keyTable,
                QStringLiteral(
                    "SELECT ID, 'question_type ' || quote(question_type) || ' does not fit ' || n "
                    "|| ' correct choices' FROM "
                    "(SELECT ID, question_type, correctanswer1 + correctanswer2 + correctanswer3 + "
                    "correctanswer4 + correctanswer5 AS n FROM %1) "
                    "WHERE n = 0 OR (n = 1) <> (coalesce(question_type, '') = 'single_answer')")
                    .arg(keyTable));

        checkExhibits(keyTable);
    }

    void checkExhibits(const QString& keyTable) {
        const QDir folder = QFileInfo(file_).absoluteDir();
        examdb::Statement s(
            db_,
            QStringLiteral("SELECT ID, diagram1 FROM %1 WHERE coalesce(diagram1, '') <> ''")
                .arg(keyTable),
            file_);
        while (s.step()) {
            const QString name = s.value(1).toString();
            const QString id = s.value(0).toString();
            if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
                problems_ << QStringLiteral("%1 ID %2: exhibit '%3' is not a bare file name")
                                 .arg(keyTable, id, name);
                continue;
            }
            QImageReader reader(folder.filePath(name));
            if (!QFileInfo::exists(folder.filePath(name))) {
                problems_
                    << QStringLiteral("%1 ID %2: exhibit '%3' is missing").arg(keyTable, id, name);
            } else if (reader.read().isNull()) {
                problems_ << QStringLiteral(
                                 "%1 ID %2: exhibit '%3' cannot be read as a picture: %4")
                                 .arg(keyTable, id, name, reader.errorString());
            }
        }
    }

    sqlite3* db_;
    QString file_;
    QStringList problems_;
};

}  // namespace

QStringList checkDatabase(const QString& file) {
    if (const QString why = notAFile(file); !why.isEmpty()) {
        return {QStringLiteral("%1: %2").arg(file, why)};
    }
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    examdb::ConnectionHandle db(raw);
    if (rc != SQLITE_OK) {
        return {QStringLiteral("%1: cannot be opened: %2")
                    .arg(file, QString::fromUtf8(sqlite3_errmsg(raw)))};
    }
    try {
        return Checker(db.get(), file).run();
    } catch (const examdb::Error& e) {
        return {QStringLiteral("%1: %2").arg(file, e.text)};
    }
}

}  // namespace bank
