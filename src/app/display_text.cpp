#include "app/display_text.h"

namespace app {

QString shortName(const QString& name, qsizetype longest) {
    // Only what is shown is simplified, so a huge name costs a prefix's work, not its length.
    QString shown = name.left(longest * 2 + 2).simplified();
    if (shown.size() <= longest && name.size() <= longest * 2 + 2) {
        return shown;
    }
    if (shown.size() < longest) {
        // The rest was white space, cut by the prefix: say it goes on all the same.
        return shown + QChar(0x2026);
    }
    qsizetype cut = longest - 1;
    if (shown.at(cut - 1).isHighSurrogate()) {
        --cut;
    }
    return shown.left(cut) + QChar(0x2026);
}

}  // namespace app
