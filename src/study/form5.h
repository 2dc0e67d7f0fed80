#pragma once

#include <QWidget>
#include <array>
#include <memory>

namespace Ui {
class Form5;
}
namespace examdb {
class DataSource;
}
class QCheckBox;
class QPlainTextEdit;
class QTimer;

// The answer window: the key row of the question the exam window put into showans, with the
// correct choices ticked and a clock of the time spent here. It only reads.
class Form5 : public QWidget {
    Q_OBJECT

public:
    Form5();
    ~Form5() override;

    void Show();
    // Hides the window, stops its clock and closes its data source; shows nothing else, so the
    // exam window can clear it away when the exam ends behind it.
    void Unload();
    bool isLoaded() const { return loaded; }

    void Form_Load();
    void Text2_Change(int index);
    void cmdEnd_Click();
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPlainTextEdit* answerBox(int n) const;

    const std::unique_ptr<Ui::Form5> ui;
    examdb::DataSource* Data1;
    QTimer* Timer1;
    std::array<QCheckBox*, 5> Check{};
    bool loaded = false;
    // Wider than the 16 bits such counters usually get, so the clock never wraps.
    qint32 AnswerElapsedSeconds = 0;
};
