#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace examdb {

class Connection;

enum class EditMode { None, Edit, AddNew };

// A record set with the navigation and editing rules of the engine the program was written for:
// BOF/EOF flags, an exact RecordCount, fields by name, qualified name or position, and
// Edit/AddNew/Update writing each column back to the table it came from.
// Every failure throws examdb::Error (numbers in error.h).
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    bool isOpen() const;
    void close();

    bool bof() const;
    bool eof() const;
    int recordCount() const;

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Straight to the row at index (0 for the first), as one move.
    void moveTo(int index);
    // Index of the current row; -1 when there is none.
    int position() const;
    // Field of the row at index without moving to it.
    QVariant valueAt(int index, int field) const;

    // Index of a field by name or qualified name ("exam1.ID"), without regard to case;
    // throws 3265 when there is none.
    int fieldIndex(const QString& name) const;

    QVariant value(int index) const;
    QVariant value(const QString& name) const;
    // Only between Edit/AddNew and Update.
    void setValue(int index, const QVariant& value);
    void setValue(const QString& name, const QVariant& value);

    void edit();
    void addNew();
    // Writes the pending Edit or AddNew. After AddNew the current row stays where it was and
    // the new row joins the set at its end.
    void update();
    EditMode editMode() const;

    // Called before the current row changes (a pending bound edit can still be written) and
    // after it changed or its values were written. For window data sources.
    void setHooks(std::function<void()> beforeMove, std::function<void()> afterChange);

private:
    friend class Database;
    static Recordset open(std::shared_ptr<Connection> connection, const QString& source);
    void requireOpen() const;

    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace examdb
