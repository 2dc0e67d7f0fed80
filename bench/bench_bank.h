#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

struct sqlite3;

// A synthetic question bank in a temporary folder, made from bank/schema.sql, which becomes the
// working directory while it lives (the program opens its database by bare name).
class BenchBank {
public:
    // questions rows in exam1 and exam11 with IDs 1, 1 + idStep, ...; categories round-robin.
    BenchBank(int questions, int idStep = 1, int categories = 10,
              const QString& fileName = QStringLiteral("kvn09.mdb"));
    ~BenchBank();
    BenchBank(const BenchBank&) = delete;
    BenchBank& operator=(const BenchBank&) = delete;

    QString path() const;
    void exec(const char* sql) const;
    // A connection of the benchmark's own, for the reference implementations.
    sqlite3* handle() const { return db_.get(); }

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    QTemporaryDir dir_;
    QString previousDir_;
    QString fileName_;
    std::unique_ptr<sqlite3, Closer> db_;
};
