#pragma once

#include <QString>
#include <array>

class QCheckBox;
class QPlainTextEdit;

namespace examdb {
class DataSource;
}

namespace study {

// The controls that show one row of an answer key.
struct KeyControls {
    QPlainTextEdit* question = nullptr;
    std::array<QPlainTextEdit*, 5> answers{};
    std::array<QCheckBox*, 5> keys{};
    QPlainTextEdit* explanation = nullptr;
};

// Points source at the program's database with recordSource, and binds the question, the
// answers, their keys and the explanation to the columns every key table has.
void bindKeyRow(examdb::DataSource& source, const QString& name, const QString& recordSource,
                const KeyControls& controls);

}  // namespace study
