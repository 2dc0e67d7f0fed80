#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

class QWidget;

// Every message box and input box of the program goes through here, so tests can answer them.
namespace prompts {

// YesNoSafe: Yes and No with No as the default, for questions whose Yes loses data.
enum class Buttons { OkOnly, OkCancel, YesNo, YesNoSafe };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

inline const QString kAppTitle = QStringLiteral("Praxilo");

// details, when given, sit behind the box's "Show Details..." button: the one-sentence text
// stays short however long they are.
Answer MsgBox(const QString& text, Buttons buttons = Buttons::OkOnly, Icon icon = Icon::None,
              const QString& title = kAppTitle, const QString& details = QString());

// Returns the typed text, or an empty text when the box is cancelled.
QString InputBox(const QString& prompt, const QString& title = kAppTitle,
                 const QString& defaultText = QString());

// What a prompt showed, as a test sees it.
struct Shown {
    enum class Kind { Message, Input } kind;
    QString text;
    QString title;
    Buttons buttons = Buttons::OkOnly;
    Icon icon = Icon::None;
    QString defaultText;
    QString details;
};

// Test seam: while a script is installed no dialog is shown; each prompt takes the next
// scripted answer (a message box with none left answers Ok/No/Cancel by its kind; an input
// box with none left answers its pre-filled text). Scripts nest: the newest one answers, and
// the one before takes over again when it ends.
class Script {
public:
    Script();
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    void answer(Answer a) { answers_.push_back(a); }
    // std::nullopt stands for the Cancel button.
    void type(std::optional<QString> text) { inputs_.push_back(std::move(text)); }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;

private:
    friend Answer MsgBox(const QString&, Buttons, Icon, const QString&, const QString&);
    friend QString InputBox(const QString&, const QString&, const QString&);
    std::deque<Answer> answers_;
    std::deque<std::optional<QString>> inputs_;
    std::vector<Shown> shown_;
    Script* previous_;
};

}  // namespace prompts
