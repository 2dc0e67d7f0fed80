#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class frmSplash;
}
namespace examdb {
class DataSource;
}

// The intro: the exam's texts from "Test Information", then on to the notice.
class frmSplash : public QWidget {
    Q_OBJECT

public:
    frmSplash();
    ~frmSplash() override;

    // Loads the window if it is not loaded (reading its texts afresh) and shows it.
    void Show();
    // Hides the window and lets go of its data; the next Show loads it again.
    void Unload();
    bool isLoaded() const { return loaded; }

    void Form_Load();
    void Command1_Click();
    void Form_KeyPress(QChar key);
    void Frame1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const std::unique_ptr<Ui::frmSplash> ui;
    examdb::DataSource* Data1;
    bool loaded = false;
};
