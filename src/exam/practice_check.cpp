#include "exam/practice_check.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "look/inks.h"
#include "look/text_zoom.h"

namespace exam {

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

void PracticeFeedback::showVerdict(const std::array<bool, 5>& chosen,
                                   const session::KeyAnswer& key) {
    const bool right = chosen == key.right;
    verdict_->setText(session::verdictText(chosen, key));
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
