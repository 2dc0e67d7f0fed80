#pragma once

#include <QString>
#include <QStringList>

namespace bank {

struct BuildRequest {
    QString sourceDir;   // holds source/ and exhibits/
    QString schemaFile;  // bank/schema.sql
    QString outDir;      // where the database file and the pictures go
    bool demo = false;
};

// Builds kvn09.mdb (or kvn009.mdb) in outDir, with the exhibit pictures beside it. Writes into
// a temporary file and renames it over the target only when everything succeeded, so a refused
// source never leaves a half-built database behind. Returns the path of the database.
QString buildDatabase(const BuildRequest& request);

QString databaseFileName(bool demo);

}  // namespace bank
