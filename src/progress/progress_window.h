#pragma once

#include <QWidget>
#include <vector>

#include "history/attempt_record.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace progress {

class AttemptTableModel;

// Every recorded attempt of this edition: a table, the score over time per exam with the pass
// mark across it (custom exams as points of their own), and each category's latest percentage
// beside the average of the comparable attempts before it (with a table of the same figures for
// keyboard and screen-reader users). A name filter, CSV export, deletion, and a study of the
// questions recently missed.
class ProgressWindow : public QWidget {
    Q_OBJECT

public:
    ProgressWindow();
    ~ProgressWindow() override;

    // Reads the history afresh and shows the window.
    void Show();
    void Unload();

    // The attempts shown now, newest first.
    const std::vector<history::AttemptRecord>& shownAttempts() const { return shown_; }
    // Selects the row of the table (0 is the newest); the category chart follows it.
    void selectAttempt(int row);
    void setNameFilter(const QString& name);  // empty for every name
    bool exportCsv(const QString& path);
    // Writes the export where the candidate chose and says where it went, or that it could not.
    void exportTo(const QString& path);
    void cmdStudyMissed_Click();
    void cmdExport_Click();
    void cmdDelete_Click();
    void cmdDeleteAll_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reload();
    void fillNames();
    const history::AttemptRecord* selected() const;
    void fillScoreChart();
    void fillCategoryChart();
    void showResultsLine();
    // The estimate of passing the chosen attempt's exam, for its candidate.
    void showReadiness();

    std::vector<history::AttemptRecord> all_;
    std::vector<history::AttemptRecord> shown_;
    QString nameFilter_;
    QComboBox* names_;
    QTableView* attemptsView_;
    AttemptTableModel* attemptsModel_;
    QChartView* scoreView_;
    QChartView* categoryView_;
    QTableView* categoriesView_;
    QStandardItemModel* categoriesModel_;
    QPushButton* studyMissed_;
    QPushButton* export_;
    QPushButton* delete_;
    QPushButton* deleteAll_;
    QPushButton* close_;
    QLabel* results_;
    QLabel* readiness_;
};

}  // namespace progress
