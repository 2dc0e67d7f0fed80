#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "examdb/control_binding.h"
#include "examdb/database.h"
#include "examdb/recordset.h"

namespace examdb {

class ControlBinding;
class Error;

// Who hears of an edit that could not be written while its data source was being destroyed,
// when no caller is left to catch it. The program shows it as its one database-error message;
// without a reporter it is logged.
using UnwrittenEditReporter = std::function<void(const Error&)>;
void setUnwrittenEditReporter(UnwrittenEditReporter reporter);

// A window's data source: a database file, a connect string and a record source (a table name
// or a SELECT in the Access dialect), one current row, and controls bound to its columns.
// An edit made in a bound control is written back to the row when the current row changes
// (any move, Refresh) and when the data source closes or is destroyed.
class DataSource : public QObject {
    Q_OBJECT

public:
    explicit DataSource(QObject* parent = nullptr);
    ~DataSource() override;

    QString databaseName() const { return databaseName_; }
    void setDatabaseName(const QString& fileName) { databaseName_ = fileName; }
    QString connectString() const { return connect_; }
    void setConnectString(const QString& connect) { connect_ = connect; }
    QString recordSource() const { return recordSource_; }
    void setRecordSource(const QString& source) { recordSource_ = source; }

    // Opens the file if needed, runs the record source and stands on its first row.
    void refresh();
    // The current record set; moves made through it refresh the bound controls. Valid until the
    // next refresh() or close(). Throws 3420 before the first refresh.
    Recordset& recordset();
    bool isOpen() const { return recordset_.isOpen(); }
    // The connection the record set reads and writes through, for work that must share its
    // transactions. Open only after refresh().
    Database& database() { return database_; }
    // Writes a pending edit, then lets go of the record set and the connection.
    void close();

    // Writes the bound controls' pending edit to the current row now.
    void updateRecord();
    bool hasPendingEdit() const { return !pending_.empty(); }

    // column may be qualified ("exam11.correctanswer1") and in any letter case.
    void bind(QAbstractButton* checkBox, const QString& column);
    void bind(QLineEdit* edit, const QString& column);
    void bind(QPlainTextEdit* edit, const QString& column);
    void bind(QTextEdit* edit, const QString& column);
    void bind(QLabel* label, const QString& column);
    void unbind(QWidget* control);

Q_SIGNALS:
    // After the current row changed or its values were written by the window's code.
    void currentChanged();

private:
    void addBinding(std::unique_ptr<ControlBinding> binding);
    void resolve(ControlBinding& binding);
    void showCurrent();
    void controlChanged(ControlBinding& binding);
    void writePending();
    void rowChanged();

    QString databaseName_;
    QString connect_;
    QString recordSource_;
    QString openedName_;
    QString openedConnect_;
    Database database_;
    Recordset recordset_;
    std::vector<std::unique_ptr<ControlBinding>> bindings_;
    std::map<int, QVariant> pending_;  // field -> value from a bound control
    bool showing_ = false;             // our own writes into controls are no user edits
    bool writing_ = false;
};

}  // namespace examdb
