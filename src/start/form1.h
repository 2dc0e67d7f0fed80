#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class Form1;
}
namespace standing {
class StandingPanel;
}

// The main menu: the hub every other window returns to.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    Form1();
    ~Form1() override;

    // Shows the menu (it is never recreated) and brings it forward; the first time, filling the
    // screen, whichever way the program reached it (a resumed exam skips the usual start).
    void Show();
    // The menu is never unloaded; hiding is all other windows may do to it.
    void Unload() { hide(); }

    void mnuExamsub1_Click();
    void mnuExamsub2_Click();
    void mnuExamsub3_Click();
    void mnuCustomExam_Click();
    void mnuFileSubExit_Click();
    void menuFileSubExam1_Click();
    void mnuProgress_Click();
    void mnuDueQuestions_Click();
    void menuFileSubExam2_Click();
    void menuFileSubExam3_Click();
    void mnuHelpsubNavigate_Click();
    void mnuHelpSubCer_Click();
    void mnuhelpsubmnureadme_Click();
    void mnuhelpsubmnuorder_Click();
    void mnuHelpsubCertification_Click();
    void mnuHelpKeys_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void applyDemoMenu();
    void addStanding();
    // The panel and the due count read again, once the window is up.
    void refreshStanding();
    void startExam(qint16 exam);
    void studyExam(qint16 exam);

    const std::unique_ptr<Ui::Form1> ui;
    QAction* dueQuestions_ = nullptr;
    standing::StandingPanel* standing_ = nullptr;
    bool shownBefore_ = false;
};
