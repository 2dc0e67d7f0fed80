#pragma once

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "bank_builder.h"

// A small but complete bank source in a temporary folder, and a way to look into the result.
namespace bank_fixture {

inline const char* const kGoodExam =
    "# a comment\n"
    "== 1\n"
    "category: Networking\n"
    "question: Which port does HTTPS use by default?\n"
    "A: 80\n"
    "B: 443\n"
    "C: 22\n"
    "answer: B\n"
    "explanation: HTTPS listens on 443; 80 is plain HTTP.\n"
    "\n"
    "== 2\n"
    "category: Security\n"
    "exhibit: pic.png\n"
    "question: Refer to the exhibit. Which two are true? (Choose two.)\n"
    "  flowing on.\n"
    "  .\n"
    "  |   indented code\n"
    "  | more code\n"
    "A: one\n"
    "B: two\n"
    "C: three\n"
    "D: four\n"
    "E: five\n"
    "answer: A, E\n"
    "explanation: Because.\n"
    "  .\n"
    "  After a blank line.\n";

inline const char* const kInfo =
    "test_name: Name\nnumber_of_questions: 2\ntest_disclaimer: D\ntest_description: Desc\n"
    "copyright_date: 2026\nauthor_name: A\n";

class Bank {
public:
    Bank() {
        QDir(dir.path()).mkpath(QStringLiteral("source"));
        QDir(dir.path()).mkpath(QStringLiteral("exhibits"));
        write(QStringLiteral("source/categories.txt"), "Networking\nSecurity\n");
        for (const char* name : {"exam1", "exam2", "exam3", "demo"}) {
            write(QStringLiteral("source/%1.kvq").arg(QLatin1String(name)), kGoodExam);
        }
        write(QStringLiteral("source/info-full.kvq"), kInfo);
        write(QStringLiteral("source/info-demo.kvq"), kInfo);
        write(QStringLiteral("exhibits/pic.txt"),
              "title: A picture\nwidth: 200\n---\nhost  | address\n");
    }

    void write(const QString& relative, const QByteArray& text) {
        QFile f(dir.filePath(relative));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    bank::BuildRequest request(bool demo = false) const {
        return {dir.path(), QStringLiteral(PRAXILO_SCHEMA_FILE),
                dir.filePath(QStringLiteral("out")), demo};
    }

    QTemporaryDir dir;
};

inline QStringList query(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    QStringList rows;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                cells << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
            }
            rows << cells.join(QLatin1Char('|'));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

inline void exec(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

}  // namespace bank_fixture
