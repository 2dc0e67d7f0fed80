#include "examdb/control_binding.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace examdb {

QString displayText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return QString();
    }
    return value.toString();
}

bool isYes(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return false;
    }
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(u"yes", Qt::CaseInsensitive) == 0 ||
            text.compare(u"true", Qt::CaseInsensitive) == 0) {
            return true;
        }
        return text.toDouble() != 0.0;
    }
    return value.toDouble() != 0.0;
}

ControlBinding::ControlBinding(QWidget* widget, Kind kind, QString column)
    : widget_(widget), kind_(kind), column_(std::move(column)) {}

ControlBinding::ControlBinding(QAbstractButton* checkBox, QString column)
    : ControlBinding(checkBox, Kind::CheckBox, std::move(column)) {
    checkBox->setCheckable(true);
}

ControlBinding::ControlBinding(QLineEdit* edit, QString column)
    : ControlBinding(edit, Kind::LineEdit, std::move(column)) {}

ControlBinding::ControlBinding(QPlainTextEdit* edit, QString column)
    : ControlBinding(edit, Kind::PlainTextEdit, std::move(column)) {}

ControlBinding::ControlBinding(QTextEdit* edit, QString column)
    : ControlBinding(edit, Kind::TextEdit, std::move(column)) {
    edit->setAcceptRichText(false);
}

ControlBinding::ControlBinding(QLabel* label, QString column)
    : ControlBinding(label, Kind::Label, std::move(column)) {
    label->setTextFormat(Qt::PlainText);
}

ControlBinding::~ControlBinding() {
    QObject::disconnect(connection_);
}

void ControlBinding::show(const QVariant& value) {
    QWidget* w = widget_.data();
    if (w == nullptr) {
        return;
    }
    switch (kind_) {
        case Kind::CheckBox:
            static_cast<QAbstractButton*>(w)->setChecked(isYes(value));
            break;
        case Kind::LineEdit: {
            auto* edit = static_cast<QLineEdit*>(w);
            edit->setText(displayText(value));
            edit->setCursorPosition(0);  // long texts read from their start
            break;
        }
        case Kind::PlainTextEdit:
            static_cast<QPlainTextEdit*>(w)->setPlainText(displayText(value));
            break;
        case Kind::TextEdit:
            static_cast<QTextEdit*>(w)->setPlainText(displayText(value));
            break;
        case Kind::Label:
            static_cast<QLabel*>(w)->setText(displayText(value));
            break;
    }
}

QVariant ControlBinding::read() const {
    QWidget* w = widget_.data();
    if (w == nullptr) {
        return QVariant();
    }
    switch (kind_) {
        case Kind::CheckBox:
            return QVariant(qlonglong(static_cast<QAbstractButton*>(w)->isChecked() ? 1 : 0));
        case Kind::LineEdit:
            return static_cast<QLineEdit*>(w)->text();
        case Kind::PlainTextEdit:
            return static_cast<QPlainTextEdit*>(w)->toPlainText();
        case Kind::TextEdit:
            return static_cast<QTextEdit*>(w)->toPlainText();
        case Kind::Label:
            return static_cast<QLabel*>(w)->text();
    }
    return QVariant();
}

void ControlBinding::watch(QObject* context, std::function<void()> onChange) {
    QObject::disconnect(connection_);
    QWidget* w = widget_.data();
    if (w == nullptr) {
        return;
    }
    auto call = [onChange = std::move(onChange)] { onChange(); };
    switch (kind_) {
        case Kind::CheckBox:
            connection_ = QObject::connect(static_cast<QAbstractButton*>(w),
                                           &QAbstractButton::toggled, context, call);
            break;
        case Kind::LineEdit:
            connection_ = QObject::connect(static_cast<QLineEdit*>(w), &QLineEdit::textChanged,
                                           context, call);
            break;
        case Kind::PlainTextEdit:
            connection_ = QObject::connect(static_cast<QPlainTextEdit*>(w),
                                           &QPlainTextEdit::textChanged, context, call);
            break;
        case Kind::TextEdit:
            connection_ = QObject::connect(static_cast<QTextEdit*>(w), &QTextEdit::textChanged,
                                           context, call);
            break;
        case Kind::Label:
            break;  // a label is never edited
    }
}

}  // namespace examdb
