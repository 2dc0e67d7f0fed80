#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmAbout;
}

// The About box: title, version, the edition's description, and a way to the operating
// system's system-information program.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout();
    ~frmAbout() override;

    // Loads the box if it is not loaded, then shows it without waiting.
    void Show();
    // Hides the box; the next Show loads it afresh.
    void Unload();
    bool isLoaded() const { return loaded; }

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

protected:
    // Escape and the title bar's close unload the box, as OK does.
    void reject() override;

private:
    const std::unique_ptr<Ui::frmAbout> ui;
    bool loaded = false;
};
