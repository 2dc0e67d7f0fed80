#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <array>
#include <memory>

struct sqlite3;

namespace testsupport {

// The path of bank/schema.sql.
QString schemaPath();

// One question as the exam table and the key table hold it.
struct Question {
    qint64 id = 0;
    int catId = 0;
    QString catDesc;
    QString question;
    std::array<QString, 5> answers;
    std::array<bool, 5> key{};        // correct choices, in the key table
    std::array<bool, 5> responses{};  // candidate's choices, in the exam table
    QString explanation;
    QString questionType = QStringLiteral("multiple_answer");
    QString diagram;
};

// A database file made from the schema in a fresh temporary folder, which becomes the working
// directory (the program opens its file by bare name) until the fixture is destroyed.
// Helpers reach the file through SQLite directly, not through the code under test, and throw
// std::runtime_error when SQLite refuses something.
class FixtureDatabase {
public:
    explicit FixtureDatabase(const QString& fileName = QStringLiteral("kvn09.mdb"));
    ~FixtureDatabase();

    FixtureDatabase(const FixtureDatabase&) = delete;
    FixtureDatabase& operator=(const FixtureDatabase&) = delete;

    QString fileName() const { return fileName_; }
    QString path() const;
    QString dir() const { return dir_.path(); }

    void exec(const QString& sql, const QVariantList& params = {}) const;
    QVariant scalar(const QString& sql, const QVariantList& params = {}) const;
    QList<QVariantList> rows(const QString& sql, const QVariantList& params = {}) const;

    // Row i is category i.
    void addCategories(const QStringList& names) const;
    // Into examN and, with withKeyRow, the key table examNN.
    void addQuestion(int exam, const Question& q, bool withKeyRow = true) const;
    // count plain questions with IDs from firstId, categories 0..categories-1 in turn, one
    // correct choice each (choice id % 5 + 1), every response No. Returns what was added.
    QList<Question> addQuestions(int exam, int count, int categories = 1, qint64 firstId = 1) const;
    // Fills tblRandom with the IDs in order, positions from 1.
    void draw(const QList<qint64>& ids) const;
    void setTestInformation(const QStringList& sixTexts) const;

    // Responses (or, for a key table, the key) of one row as five 0/1 values.
    std::array<int, 5> answers(const QString& table, qint64 id) const;

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };

    QTemporaryDir dir_;
    QString fileName_;
    QString previousDir_;
    // Kept open (outside any transaction) so arranging rows costs no reopen and no sync.
    std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace testsupport
