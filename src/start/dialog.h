#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Dialog;
}

// The notice between the intro and the exam: how many questions, how many minutes.
class Dialog : public QDialog {
    Q_OBJECT

public:
    Dialog();
    ~Dialog() override;

    void Show();
    void Unload() { hide(); }

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void reject() override;

private:
    const std::unique_ptr<Ui::Dialog> ui;
};
