#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTextEdit;

namespace examdb {

// One control showing one column of a data source's current row. Texts are always plain text;
// a check box stands for a Yes/No column (ticked = Yes = 1).
class ControlBinding {
public:
    ControlBinding(QAbstractButton* checkBox, QString column);
    ControlBinding(QLineEdit* edit, QString column);
    ControlBinding(QPlainTextEdit* edit, QString column);
    ControlBinding(QTextEdit* edit, QString column);
    ControlBinding(QLabel* label, QString column);
    ~ControlBinding();

    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

    QWidget* widget() const { return widget_.data(); }
    const QString& column() const { return column_; }

    // Shows value; null shows an empty text or a cleared box.
    void show(const QVariant& value);
    // The control's value as the column stores it.
    QVariant read() const;
    // Calls onChange after every change of the control's value, whoever made it.
    void watch(QObject* context, std::function<void()> onChange);

    // Field of the current record set, or -1 until resolved.
    int field = -1;

private:
    enum class Kind { CheckBox, LineEdit, PlainTextEdit, TextEdit, Label };
    ControlBinding(QWidget* widget, Kind kind, QString column);

    QPointer<QWidget> widget_;
    Kind kind_;
    QString column_;
    QMetaObject::Connection connection_;
};

// The text a control shows for a column value.
QString displayText(const QVariant& value);
// Whether a Yes/No value is Yes.
bool isYes(const QVariant& value);

}  // namespace examdb
