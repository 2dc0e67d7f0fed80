#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class Form41;
}
namespace examdb {
class DataSource;
}

// The wrong-answer review: one wrongly answered question of the ended exam at a time, the key
// beside the candidate's own choices. Nothing in it can change the key or the responses.
class Form41 : public QWidget {
    Q_OBJECT

public:
    Form41();
    ~Form41() override;

    // Loads the window if it is not loaded (opening at the first question), then shows it and
    // applies the button states, as every activation does.
    void Show();
    // Hides the window and closes its data source; the next Show opens it afresh.
    void Unload();
    bool isLoaded() const { return loaded; }

    void Form_Load();
    void Form_Activate();
    void cmdNextQ_Click();
    void cmdPrevQ_Click();
    void cmdPrintQ_Click();
    void cmdScoreRep_Click();
    void Picture1_Click();

    // 1-based position of the shown question among the selected ones, and their number.
    qint16 reviewPosition() const { return ReviewPosition; }
    qint16 reviewCount() const { return ReviewCount; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void readAloudAndZoom();
    void bindColumns(int exam);
    bool hasCurrentRow();
    void takeExhibitOfCurrentRow();
    void showFifthAnswer();
    void showPosition();
    void applyButtonStates();

    const std::unique_ptr<Ui::Form41> ui;
    examdb::DataSource* dd2;
    qint16 ReviewPosition = 0;
    qint16 ReviewCount = 0;
    bool loaded = false;
};
