#include "study/key_binding.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include "app/edition.h"
#include "app/window_frame.h"
#include "examdb/data_source.h"

namespace study {

void bindKeyRow(examdb::DataSource& source, const QString& name, const QString& recordSource,
                const KeyControls& controls) {
    app::useEditionFile(source, name, recordSource);
    source.bind(controls.question, QStringLiteral("question"));
    for (int n = 1; n <= 5; ++n) {
        source.bind(controls.answers[size_t(n - 1)], QStringLiteral("answer%1").arg(n));
        source.bind(controls.keys[size_t(n - 1)], QStringLiteral("correctanswer%1").arg(n));
    }
    source.bind(controls.explanation, QStringLiteral("explanation"));
}

}  // namespace study
