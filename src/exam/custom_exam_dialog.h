#pragma once

#include <QDialog>
#include <optional>

#include "app/custom_exam.h"
#include "session/custom_categories.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace exam {

// The settings of a custom exam: which exam, which of its categories, how many questions, how
// many minutes, timed or practice. OK starts the exam at once; a setting that cannot be met is
// named beside its field, and OK refuses and takes the keyboard there. Window-modal over the
// main menu.
class CustomExamDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDefaultQuestions = 20;
    // The spin box takes what a candidate may type, so that too many is refused with a reason.
    static constexpr int kMostQuestions = 32767;

    CustomExamDialog();
    ~CustomExamDialog() override;

    // Reads the bank afresh and sets out what this edition started last, fitted to what the bank
    // holds now (the first time: every category ticked, the counts at their defaults), under the
    // name typed last in this edition. A bank that cannot be read is named in one message and the
    // dialog stays closed.
    void Show();
    void Unload();

    // What OK would start now; empty while a setting cannot be met.
    std::optional<session::CustomExam> settings() const;
    // The name the exam runs under, exactly as typed: empty stays empty.
    QString candidateName() const;
    // Why OK is refused now, as the dialog shows it; empty when it is not.
    QString problem() const;
    // The exam's categories as last read.
    const ExamCategories& categories() const { return read_; }

    void cmdOK_Click();
    void cmdSelectAll_Click();
    void cmdSelectNone_Click();

protected:
    // Escape and the title bar's close leave without starting anything.
    void reject() override;

private:
    struct Problems {
        QString exam;
        QString categories;
        QString questions;
    };

    int chosenExam() const;
    bool loadExam(int exam);
    void fillCategories();
    void tickAll(bool ticked);
    int tickedQuestions() const;
    int tickedCount() const;
    void followDefaults();
    // Ticks what last holds and fits its count to them; a category gone or now empty is left out.
    void restore(const session::CustomExam& last);
    Problems findProblems() const;
    void showProblems();
    void placeOverMenu();

    ExamCategories read_;
    int readExam_ = 0;
    bool questionsEdited_ = false;
    bool minutesEdited_ = false;

    QLineEdit* name_;
    QComboBox* exam_;
    QLabel* examProblem_;
    QListWidget* list_;
    QPushButton* selectAll_;
    QPushButton* selectNone_;
    QLabel* categoriesProblem_;
    QLabel* uncategorized_;
    QSpinBox* questions_;
    QLabel* questionsProblem_;
    QSpinBox* minutes_;
    QLabel* minutesNote_;
    QRadioButton* timed_;
    QRadioButton* practice_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace exam
