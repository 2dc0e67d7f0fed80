#include "examdb/data_source.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtGlobal>

#include "examdb/control_binding.h"
#include "examdb/error.h"

namespace examdb {
namespace {

class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = old_; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
    bool old_;
};

bool isTextual(const QVariant& v) {
    return v.metaType().id() == QMetaType::QString;
}

bool sameValue(const QVariant& a, const QVariant& b) {
    if (isTextual(a) || isTextual(b)) {
        return displayText(a) == displayText(b);
    }
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull) {
        return aNull == bNull;
    }
    return a == b;
}

UnwrittenEditReporter& unwrittenEditReporter() {
    static UnwrittenEditReporter reporter;
    return reporter;
}

}  // namespace

void setUnwrittenEditReporter(UnwrittenEditReporter reporter) {
    unwrittenEditReporter() = std::move(reporter);
}

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::~DataSource() {
    try {
        writePending();
    } catch (const Error& e) {
        if (unwrittenEditReporter()) {
            unwrittenEditReporter()(e);
        } else {
            qWarning("examdb: pending edit of '%s' lost: %s", qPrintable(recordSource_),
                     qPrintable(e.text));
        }
    } catch (const std::exception& e) {
        qWarning("examdb: pending edit of '%s' lost: %s", qPrintable(recordSource_), e.what());
    }
}

void DataSource::refresh() {
    writePending();
    if (!database_.isOpen() || openedName_ != databaseName_ || openedConnect_ != connect_) {
        recordset_.close();
        database_ = Database::open(databaseName_, connect_);
        openedName_ = databaseName_;
        openedConnect_ = connect_;
    }
    recordset_ = database_.openRecordset(recordSource_);
    recordset_.setHooks([this] { writePending(); }, [this] { rowChanged(); });
    for (const auto& binding : bindings_) {
        resolve(*binding);
    }
    showCurrent();
    Q_EMIT currentChanged();
}

Recordset& DataSource::recordset() {
    if (!recordset_.isOpen()) {
        throw Error(errc::ObjectClosed,
                    QStringLiteral("Object invalid or no longer set: data source '%1' has no "
                                   "record set.")
                        .arg(objectName()));
    }
    return recordset_;
}

void DataSource::close() {
    writePending();
    recordset_.close();
    database_.close();
    openedName_.clear();
    openedConnect_.clear();
}

void DataSource::updateRecord() {
    writePending();
}

void DataSource::bind(QAbstractButton* checkBox, const QString& column) {
    addBinding(std::make_unique<ControlBinding>(checkBox, column));
}

void DataSource::bind(QLineEdit* edit, const QString& column) {
    addBinding(std::make_unique<ControlBinding>(edit, column));
}

void DataSource::bind(QPlainTextEdit* edit, const QString& column) {
    addBinding(std::make_unique<ControlBinding>(edit, column));
}

void DataSource::bind(QTextEdit* edit, const QString& column) {
    addBinding(std::make_unique<ControlBinding>(edit, column));
}

void DataSource::bind(QLabel* label, const QString& column) {
    addBinding(std::make_unique<ControlBinding>(label, column));
}

void DataSource::unbind(QWidget* control) {
    std::erase_if(bindings_, [control](const auto& b) { return b->widget() == control; });
}

void DataSource::addBinding(std::unique_ptr<ControlBinding> binding) {
    unbind(binding->widget());
    ControlBinding& b = *binding;
    b.watch(this, [this, &b] { controlChanged(b); });
    bindings_.push_back(std::move(binding));
    if (recordset_.isOpen()) {
        resolve(b);
        const FlagGuard guard(showing_);
        b.show(recordset_.bof() || recordset_.eof() ? QVariant() : recordset_.value(b.field));
    }
}

void DataSource::resolve(ControlBinding& binding) {
    binding.field = recordset_.fieldIndex(binding.column());
}

void DataSource::showCurrent() {
    const FlagGuard guard(showing_);
    const bool current = recordset_.isOpen() && !recordset_.bof() && !recordset_.eof();
    for (const auto& binding : bindings_) {
        binding->show(current && binding->field >= 0 ? recordset_.value(binding->field)
                                                     : QVariant());
    }
}

void DataSource::controlChanged(ControlBinding& binding) {
    if (showing_ || writing_ || !recordset_.isOpen() || binding.field < 0 || recordset_.bof() ||
        recordset_.eof()) {
        return;
    }
    pending_[binding.field] = binding.read();
}

void DataSource::writePending() {
    if (pending_.empty() || writing_) {
        return;
    }
    std::map<int, QVariant> pending;
    pending.swap(pending_);
    if (!recordset_.isOpen() || recordset_.bof() || recordset_.eof()) {
        return;
    }
    bool differs = false;
    for (const auto& [field, value] : pending) {
        differs = differs || !sameValue(recordset_.value(field), value);
    }
    if (!differs) {
        return;
    }
    const FlagGuard guard(writing_);
    if (recordset_.editMode() != EditMode::Edit) {
        recordset_.edit();
    }
    for (const auto& [field, value] : pending) {
        recordset_.setValue(field, value);
    }
    recordset_.update();
}

void DataSource::rowChanged() {
    if (writing_) {
        return;
    }
    showCurrent();
    Q_EMIT currentChanged();
}

}  // namespace examdb
