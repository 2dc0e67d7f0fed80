#pragma once

#include <QString>
#include <optional>
#include <vector>

// The marks an exam under way keeps beside its answers, and their one-line form in the file.
// Apart from the exam window so that the bank check reads them as the program does.
namespace exam {

// What the candidate marked beside the answers: questions flagged for review, choices struck
// out as ruled out (bit r for the choice in row r, top down), and questions whose answer a
// practice run has checked, so it can no longer change; by position in the draw.
struct Marks {
    std::vector<bool> flagged;
    std::vector<unsigned char> struck;
    std::vector<bool> checked;

    static Marks none(int questions) {
        return {std::vector<bool>(size_t(questions), false),
                std::vector<unsigned char>(size_t(questions), 0),
                std::vector<bool>(size_t(questions), false)};
    }
};

namespace attempt {

// Space-separated, ascending: the number of each flagged question ("3"), for each question
// with struck choices its number and their letters ("7:BD"), and for each checked question its
// number and "!" ("9!"). Files written before choices could be struck hold numbers only, and
// read the same.
QString encodeMarks(const Marks& marks);
// Empty optional when text is no such list for an exam of questions questions.
std::optional<Marks> decodeMarks(const QString& text, int questions);

}  // namespace attempt
}  // namespace exam
