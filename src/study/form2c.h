#pragma once

#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class Form2C;
}

// The exhibit window: the picture CurrentExhibit names, until Return brings back the window
// that opened it.
class Form2C : public QWidget {
    Q_OBJECT

public:
    Form2C();
    ~Form2C() override;

    // Loads the window if needed (reading the picture) and shows it. A picture that cannot be
    // read is reported once the window is up, so Return is always there to go back.
    void Show();
    // Hides the window and lets go of the picture; nothing else is shown.
    void Unload();
    bool isLoaded() const { return loaded; }
    // The file name of the picture on show; empty when none could be read.
    QString shownExhibit() const { return shownName; }

    void Form_Load();
    void Command1_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPicture();
    void reportProblem();
    bool showOpener();

    const std::unique_ptr<Ui::Form2C> ui;
    bool loaded = false;
    QString requestedName;
    QString shownName;
    QString problem;
};
