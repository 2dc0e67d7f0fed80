#include "app/prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace prompts {

namespace {
Script* activeScript = nullptr;

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

Answer unscriptedAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkOnly:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
        case Buttons::YesNoSafe:
            return Answer::No;
    }
    return Answer::Ok;
}
}  // namespace

Script::Script() : previous_(activeScript) {
    activeScript = this;
}

Script::~Script() {
    if (activeScript == this) {
        activeScript = previous_;
    }
}

QStringList Script::texts() const {
    QStringList out;
    for (const Shown& s : shown_) {
        out << s.text;
    }
    return out;
}

Answer MsgBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
              const QString& details) {
    if (activeScript) {
        activeScript->shown_.push_back(
            {Shown::Kind::Message, text, title, buttons, icon, {}, details});
        if (activeScript->answers_.empty()) {
            return unscriptedAnswer(buttons);
        }
        const Answer a = activeScript->answers_.front();
        activeScript->answers_.pop_front();
        return a;
    }

    QMessageBox box(toQt(icon), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // Shown as plain text by the box itself.
    box.setDetailedText(details);
    switch (buttons) {
        case Buttons::OkOnly:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Buttons::YesNoSafe:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            break;
    }
    // Escape on a Yes/No box means No; on OK/Cancel it means Cancel.
    return buttons == Buttons::OkOnly ? Answer::Ok : unscriptedAnswer(buttons);
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    if (activeScript) {
        activeScript->shown_.push_back(
            {Shown::Kind::Input, prompt, title, Buttons::OkCancel, Icon::None, defaultText, {}});
        if (activeScript->inputs_.empty()) {
            return defaultText;
        }
        const std::optional<QString> typed = activeScript->inputs_.front();
        activeScript->inputs_.pop_front();
        return typed.value_or(QString());
    }

    bool ok = false;
    const QString typed = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                                QLineEdit::Normal, defaultText, &ok);
    return ok ? typed : QString();
}

}  // namespace prompts
