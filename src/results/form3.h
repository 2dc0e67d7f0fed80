#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class Form3;
}
namespace examdb {
class DataSource;
class Database;
}  // namespace examdb
namespace results {
class GridModel;
}

// The score sheet. Creating it scores the ended exam once, and it shows that result unchanged
// until its Exit discards it, also across trips to the wrong-answer review.
class Form3 : public QWidget {
    Q_OBJECT

public:
    Form3();
    ~Form3() override;

    // Shows the window maximized and brings it forward.
    void Show();
    // Hides the window and closes its data sources; what it shows stays.
    void Unload();
    bool isLoaded() const { return loaded; }

    void Form_Initialize();
    void cmdPrint_Click();
    void CmdAnswers_Click();
    void CmdExit_Click();
    // The exam's title and the pass mark, as SetPassScore gives them.
    void showPassMark(const QString& examTitle, const QString& passScore);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyEdition();
    void setUpGrids();
    void showVerdict(bool passed);
    void fitGridsToRows();
    void readAloudAndZoom();

    const std::unique_ptr<Ui::Form3> ui;
    examdb::DataSource* Data1;
    examdb::DataSource* Data2;
    examdb::DataSource* Data3;
    examdb::DataSource* Data4;
    results::GridModel* categories;
    results::GridModel* categoryScores;
    // One slot per category, as decimal texts: questions, answered correctly, percentage.
    QStringList Lbl_sc_totals;
    QStringList Lbl_score_correct;
    QStringList Lbl_score;
    bool loaded = false;
};
