#include "exam/practice_check.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include "examdb/database.h"
#include "examdb/statement.h"
#include "examdb/statements.h"
#include "look/inks.h"
#include "look/text_zoom.h"

namespace exam {

std::optional<KeyAnswer> keyOf(examdb::Database& db, int exam, qint64 id) {
    examdb::Statement read = db.prepare(
        QStringLiteral("SELECT correctanswer1, correctanswer2, correctanswer3, correctanswer4, "
                       "correctanswer5, explanation FROM %1 WHERE ID = ?1")
            .arg(examdb::statements::keyTable(exam)));
    read.bind(1, id);
    if (!read.step()) {
        return std::nullopt;
    }
    KeyAnswer key;
    for (int n = 0; n < 5; ++n) {
        key.right[size_t(n)] = read.value(n).toInt() != 0;
    }
    key.explanation = read.value(5).toString();
    return key;
}

QString verdictText(const std::array<bool, 5>& chosen, const KeyAnswer& key) {
    if (chosen == key.right) {
        return QStringLiteral("Right.");
    }
    QStringList letters;
    for (int n = 0; n < 5; ++n) {
        if (key.right[size_t(n)]) {
            letters << QString(QChar(u'A' + n));
        }
    }
    if (letters.isEmpty()) {
        return QStringLiteral("Wrong. The key marks no choice as right.");
    }
    if (letters.size() == 1) {
        return QStringLiteral("Wrong. The right choice is %1.").arg(letters.front());
    }
    const QString last = letters.takeLast();
    return QStringLiteral("Wrong. The right choices are %1 and %2.")
        .arg(letters.join(QStringLiteral(", ")), last);
}

PracticeFeedback::PracticeFeedback(QWidget* parent)
    : QWidget(parent), verdict_(new QLabel(this)), explanation_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("practiceFeedback"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    verdict_->setObjectName(QStringLiteral("lblVerdict"));
    verdict_->setTextFormat(Qt::PlainText);
    verdict_->setMargin(4);
    verdict_->setAccessibleDescription(QStringLiteral("Verdict"));
    explanation_->setObjectName(QStringLiteral("txtExplanation"));
    explanation_->setReadOnly(true);
    explanation_->setTabChangesFocus(true);
    explanation_->setAccessibleName(QStringLiteral("Explanation"));
    explanation_->setMaximumHeight(explanation_->fontMetrics().height() * 6);
    look::followZoom(*verdict_);
    look::followZoom(*explanation_);
    layout->addWidget(verdict_);
    layout->addWidget(explanation_);
    clear();
}

void PracticeFeedback::showVerdict(const std::array<bool, 5>& chosen, const KeyAnswer& key) {
    const bool right = chosen == key.right;
    verdict_->setText(verdictText(chosen, key));
    look::paintGround(*verdict_, right ? look::Ground::PassBand : look::Ground::FailBand);
    verdict_->show();
    explanation_->setPlainText(key.explanation);
    explanation_->setVisible(!key.explanation.isEmpty());
}

void PracticeFeedback::showNote(const QString& note) {
    verdict_->setText(note);
    verdict_->setAutoFillBackground(false);
    verdict_->setPalette(QPalette());
    look::paintText(*verdict_, look::Ink::Instruction);
    verdict_->show();
    explanation_->clear();
    explanation_->hide();
}

void PracticeFeedback::clear() {
    verdict_->clear();
    verdict_->hide();
    explanation_->clear();
    explanation_->hide();
}

QString PracticeFeedback::verdict() const {
    return verdict_->isVisibleTo(this) ? verdict_->text() : QString();
}

QWidget* PracticeFeedback::explanationBox() const {
    return explanation_;
}

QString PracticeFeedback::explanation() const {
    return explanation_->isVisibleTo(this) ? explanation_->toPlainText() : QString();
}

}  // namespace exam
