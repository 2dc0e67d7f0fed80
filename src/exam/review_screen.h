#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace exam {

class ExamProgress;
class ReviewListModel;

// The list of every question of the exam under way: its number, whether it is answered and
// whether it is flagged, filtered to all, the unanswered or the flagged ones. Choosing one
// (Enter, a double click, Go to Question) closes the list and asks the exam window to go
// there. Window-modal over the exam window, whose clock runs on meanwhile.
class ReviewScreen : public QWidget {
    Q_OBJECT

public:
    ReviewScreen(const ExamProgress& progress, QWidget* examWindow);
    ~ReviewScreen() override;

    // Fills the list afresh from the progress and selects the question at index.
    void open(int currentIndex);

Q_SIGNALS:
    // index: position in the draw, 0 for question 1.
    void questionChosen(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class Filter { All, Unanswered, Flagged };
    void applyFilter(Filter filter, int selectIndex);
    void chooseSelected();
    void showSummary();
    // "Question 8 of 116" for the row the list is on.
    void showPosition();

    const ExamProgress& progress_;
    ReviewListModel* model_;
    QLabel* summary_;
    QRadioButton* all_;
    QRadioButton* unanswered_;
    QRadioButton* flagged_;
    QTreeView* list_;
    QLabel* position_;
    QPushButton* goTo_;
    QPushButton* close_;
};

}  // namespace exam
