#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace bank {

// A picture carried inside an imported file, already converted to PNG.
struct ImportedPicture {
    QString name;  // suggested bare file name ending in .png
    QByteArray png;
};

// One question as a platform format carries it, before it gets a number and the defaults.
struct ImportedQuestion {
    int line = 0;
    QString title;
    QString category;  // empty: the format carries none
    QString question;
    QStringList answers;
    QList<bool> correct;      // one per answer
    QString explanation;      // empty: none given
    ImportedPicture picture;  // empty png: no exhibit
    QString exhibit;          // the file name the writer settled on

    int correctCount() const { return int(correct.count(true)); }
};

struct SkippedQuestion {
    int line = 0;
    QString label;  // title, or the start of the question text
    QString reason;
    QString kind;  // short, for counting in the summary
};

struct ImportedFile {
    QString file;
    QList<ImportedQuestion> questions;
    QList<SkippedQuestion> skipped;
    // Things left out of questions that were imported, with how many questions each touched.
    QMap<QString, int> leftOut;

    // Checks that the program can present q (three to five non-empty choices, at least one
    // correct) and keeps it, or records why it was skipped. Adds "(Choose n.)" to a
    // multiple-answer question that does not say how many to choose.
    void accept(ImportedQuestion q);
    void skip(const ImportedQuestion& q, const QString& kind, const QString& reason);
    void skip(int line, const QString& label, const QString& kind, const QString& reason);
    void noteLeftOut(const QString& what) { ++leftOut[what]; }
};

// "$course$/top/Networking/Routing" -> "Networking / Routing"; "//" is a slash inside a name.
QString categoryFromPath(const QString& path);
// The inverse, for writing a category out.
QString categoryToPath(const QString& category);

// Line ends made "\n", trailing blanks of each line and blank lines around the text removed.
QString normalizedText(const QString& text);

// The label a skip line shows: the title, or the start of the text.
QString questionLabel(const QString& title, const QString& text);

// Decodes a picture of any format Qt reads and returns it as PNG; empty if it is no picture.
QByteArray pictureAsPng(const QByteArray& data);
// A bare file name ending in .png, made of letters, digits, '.', '-' and '_'.
QString pictureFileName(const QString& original);

// Outcome of looking up an <img> source in the pictures a file carries.
struct PictureLookup {
    ImportedPicture picture;
    QString problemKind;  // empty when found
    QString problem;
};
// src is "@@PLUGINFILE@@/path/name" (percent-encoded, looked up in `embedded` by "/path/name")
// or a data: URI; anything else points outside the file.
PictureLookup lookUpPicture(const QString& src, const QMap<QString, QByteArray>& embedded);

}  // namespace bank
