#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

namespace Ui {
class Form11;
}
namespace examdb {
class DataSource;
}
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QTimer;

// The study window: an exam's answer key one question at a time, the correct choices already
// marked, with the explanation and a clock of the time spent studying. It only reads.
class Form11 : public QWidget {
    Q_OBJECT

public:
    Form11();
    ~Form11() override;

    // Loads the window if needed (first row, position 1) and shows it; a window shown again
    // (after an exhibit) stays on its row and re-applies its button states.
    void Show();
    // Hides the window, stops its clock and closes its data source. The position and the
    // elapsed time belong to the object and survive.
    void Unload();
    bool isLoaded() const { return loaded; }

    void Form_Initialize();
    void Form_Load();
    void Form_Activate();
    void CmdNextQ_Click();
    void cmdPrevQ_Click();
    void cmdEnd_Click();
    void Picture1_Click();
    void Text2_Change(int index);
    void Timer1_Timer();
    void ShowAnswerMode();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyDemoDesign();
    void connectHandlers();
    bool hasRows();
    void showPosition();
    QString currentExhibit();
    void followExhibit();
    void selectOptions(const std::array<bool, 5>& marked);
    QPlainTextEdit* answerBox(int n) const;
    void addFifthLetter();
    void showFifthLetter();
    void levelFifthLetter();

    const std::unique_ptr<Ui::Form11> ui;
    examdb::DataSource* iis;
    QTimer* Timer1;
    std::array<QPlainTextEdit*, 6> Text2{};
    std::array<QRadioButton*, 5> Option{};
    std::array<QCheckBox*, 5> Check{};
    QLabel* fifthLetter = nullptr;
    bool loaded = false;
    qint16 StudyPosition = 0;
    // Wider than the 16 bits such counters usually get, so a long session never wraps it.
    qint32 StudyElapsedSeconds = 0;
};
