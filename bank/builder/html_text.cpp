#include "html_text.h"

#include <QHash>
#include <QSet>

#include "import_model.h"

namespace bank {

namespace {

// Latin-1 entities in code-point order from U+00A0.
const char* const kLatin1Entities =
    "nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg macr deg "
    "plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14 frac12 frac34 iquest "
    "Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave Eacute Ecirc Euml Igrave Iacute "
    "Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde Ouml times Oslash Ugrave Uacute Ucirc Uuml "
    "Yacute THORN szlig agrave aacute acirc atilde auml aring aelig ccedil egrave eacute ecirc "
    "euml igrave iacute icirc iuml eth ntilde ograve oacute ocirc otilde ouml divide oslash "
    "ugrave uacute ucirc uuml yacute thorn yuml";

const QHash<QString, char32_t>& entities() {
    static const QHash<QString, char32_t> table = [] {
        QHash<QString, char32_t> t{
            {QStringLiteral("amp"), U'&'},      {QStringLiteral("lt"), U'<'},
            {QStringLiteral("gt"), U'>'},       {QStringLiteral("quot"), U'"'},
            {QStringLiteral("apos"), U'\''},    {QStringLiteral("ndash"), 0x2013},
            {QStringLiteral("mdash"), 0x2014},  {QStringLiteral("hellip"), 0x2026},
            {QStringLiteral("lsquo"), 0x2018},  {QStringLiteral("rsquo"), 0x2019},
            {QStringLiteral("sbquo"), 0x201A},  {QStringLiteral("ldquo"), 0x201C},
            {QStringLiteral("rdquo"), 0x201D},  {QStringLiteral("bdquo"), 0x201E},
            {QStringLiteral("bull"), 0x2022},   {QStringLiteral("euro"), 0x20AC},
            {QStringLiteral("trade"), 0x2122},  {QStringLiteral("larr"), 0x2190},
            {QStringLiteral("uarr"), 0x2191},   {QStringLiteral("rarr"), 0x2192},
            {QStringLiteral("darr"), 0x2193},   {QStringLiteral("harr"), 0x2194},
            {QStringLiteral("rArr"), 0x21D2},   {QStringLiteral("hArr"), 0x21D4},
            {QStringLiteral("minus"), 0x2212},  {QStringLiteral("le"), 0x2264},
            {QStringLiteral("ge"), 0x2265},     {QStringLiteral("ne"), 0x2260},
            {QStringLiteral("asymp"), 0x2248},  {QStringLiteral("infin"), 0x221E},
            {QStringLiteral("ensp"), 0x2002},   {QStringLiteral("emsp"), 0x2003},
            {QStringLiteral("thinsp"), 0x2009}, {QStringLiteral("zwnj"), 0x200C},
            {QStringLiteral("zwj"), 0x200D},    {QStringLiteral("dagger"), 0x2020},
            {QStringLiteral("permil"), 0x2030}, {QStringLiteral("prime"), 0x2032},
            {QStringLiteral("alpha"), 0x03B1},  {QStringLiteral("beta"), 0x03B2},
            {QStringLiteral("gamma"), 0x03B3},  {QStringLiteral("delta"), 0x03B4},
            {QStringLiteral("lambda"), 0x03BB}, {QStringLiteral("mu"), 0x03BC},
            {QStringLiteral("pi"), 0x03C0},     {QStringLiteral("sigma"), 0x03C3},
            {QStringLiteral("Omega"), 0x03A9},  {QStringLiteral("OElig"), 0x0152},
            {QStringLiteral("oelig"), 0x0153},  {QStringLiteral("Scaron"), 0x0160},
            {QStringLiteral("scaron"), 0x0161},
        };
        const QStringList latin1 = QString::fromLatin1(kLatin1Entities).split(QLatin1Char(' '));
        for (int i = 0; i < latin1.size(); ++i) {
            t.insert(latin1[i], char32_t(0xA0 + i));
        }
        return t;
    }();
    return table;
}

// Decodes the entity starting at html[pos] ('&'); on success returns its text and moves pos past
// the ';'. Anything that is no entity stays literal text.
QString decodeEntity(const QString& html, qsizetype& pos) {
    const qsizetype semicolon = html.indexOf(QLatin1Char(';'), pos + 1);
    if (semicolon < 0 || semicolon - pos > 12) {
        ++pos;
        return QStringLiteral("&");
    }
    const QString name = html.mid(pos + 1, semicolon - pos - 1);
    char32_t code = 0;
    bool ok = false;
    if (name.startsWith(QLatin1Char('#'))) {
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        code = char32_t(name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10));
        ok = ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    } else if (const auto it = entities().constFind(name); it != entities().constEnd()) {
        code = *it;
        ok = true;
    }
    if (!ok) {
        ++pos;
        return QStringLiteral("&");
    }
    pos = semicolon + 1;
    return QString::fromUcs4(&code, 1);
}

struct Tag {
    QString name;  // lower case
    bool closing = false;
    QHash<QString, QString> attributes;  // lower-case names, entities decoded
};

// Reads the tag starting at html[pos] ('<'); false when it is no tag (a lone '<' in text).
bool readTag(const QString& html, qsizetype& pos, Tag& tag) {
    qsizetype i = pos + 1;
    if (i < html.size() && html[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < html.size() && (html[i].isLetterOrNumber())) {
        ++i;
    }
    if (i == nameStart || !html[nameStart].isLetter()) {
        return false;
    }
    tag.name = html.mid(nameStart, i - nameStart).toLower();
    while (i < html.size() && html[i] != u'>') {
        if (html[i].isSpace() || html[i] == u'/') {
            ++i;
            continue;
        }
        const qsizetype attrStart = i;
        while (i < html.size() && !html[i].isSpace() && html[i] != u'=' && html[i] != u'>') {
            ++i;
        }
        const QString attr = html.mid(attrStart, i - attrStart).toLower();
        QString value;
        while (i < html.size() && html[i].isSpace()) {
            ++i;
        }
        if (i < html.size() && html[i] == u'=') {
            ++i;
            while (i < html.size() && html[i].isSpace()) {
                ++i;
            }
            if (i < html.size() && (html[i] == u'"' || html[i] == u'\'')) {
                const QChar quote = html[i];
                const qsizetype end = html.indexOf(quote, i + 1);
                if (end < 0) {
                    return false;
                }
                value = html.mid(i + 1, end - i - 1);
                i = end + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < html.size() && !html[i].isSpace() && html[i] != u'>') {
                    ++i;
                }
                value = html.mid(valueStart, i - valueStart);
            }
        }
        QString decoded;
        for (qsizetype j = 0; j < value.size();) {
            if (value[j] == u'&') {
                decoded += decodeEntity(value, j);
            } else {
                decoded += value[j++];
            }
        }
        tag.attributes.insert(attr, decoded);
    }
    if (i >= html.size()) {
        return false;
    }
    pos = i + 1;
    return true;
}

class TextBuilder {
public:
    void text(const QString& s) {
        if (breaks_ > 0) {
            if (!out_.isEmpty()) {
                out_ += QString(breaks_, QLatin1Char('\n'));
            }
            breaks_ = 0;
        } else if (space_ && !out_.isEmpty() && !out_.endsWith(QLatin1Char('\n')) &&
                   !out_.endsWith(QLatin1Char(' '))) {
            out_ += QLatin1Char(' ');
        }
        space_ = false;
        out_ += s;
    }
    void space() { space_ = true; }
    void lineBreak() { ++breaks_; }
    void paragraph() { breaks_ = std::max(breaks_, 2); }
    void line() { breaks_ = std::max(breaks_, 1); }
    QString result() const { return out_; }

private:
    QString out_;
    int breaks_ = 0;
    bool space_ = false;
};

}  // namespace

HtmlText htmlToPlainText(const QString& html) {
    static const QSet<QString> blocks{
        QStringLiteral("p"),       QStringLiteral("div"),    QStringLiteral("h1"),
        QStringLiteral("h2"),      QStringLiteral("h3"),     QStringLiteral("h4"),
        QStringLiteral("h5"),      QStringLiteral("h6"),     QStringLiteral("ul"),
        QStringLiteral("ol"),      QStringLiteral("table"),  QStringLiteral("blockquote"),
        QStringLiteral("pre"),     QStringLiteral("hr"),     QStringLiteral("section"),
        QStringLiteral("article"), QStringLiteral("header"), QStringLiteral("footer"),
        QStringLiteral("figure"),  QStringLiteral("dl"),     QStringLiteral("address")};
    static const QSet<QString> lines{QStringLiteral("tr"), QStringLiteral("dt"),
                                     QStringLiteral("dd"), QStringLiteral("figcaption")};

    HtmlText result;
    TextBuilder out;
    int preDepth = 0;
    bool preJustOpened = false;
    qsizetype pos = 0;
    while (pos < html.size()) {
        const QChar c = html[pos];
        if (c == u'<') {
            if (html.mid(pos, 4) == QLatin1String("<!--")) {
                const qsizetype end = html.indexOf(QLatin1String("-->"), pos + 4);
                pos = end < 0 ? html.size() : end + 3;
                continue;
            }
            if (html.mid(pos, 2) == QLatin1String("<!") ||
                html.mid(pos, 2) == QLatin1String("<?")) {
                const qsizetype end = html.indexOf(QLatin1Char('>'), pos);
                pos = end < 0 ? html.size() : end + 1;
                continue;
            }
            Tag tag;
            if (!readTag(html, pos, tag)) {
                out.text(QStringLiteral("<"));
                ++pos;
                continue;
            }
            preJustOpened = false;
            if (tag.name == QLatin1String("script") || tag.name == QLatin1String("style")) {
                if (!tag.closing) {
                    const qsizetype end =
                        html.indexOf(QStringLiteral("</") + tag.name, pos, Qt::CaseInsensitive);
                    pos = end < 0 ? html.size() : html.indexOf(QLatin1Char('>'), end) + 1;
                    if (pos <= 0) {
                        pos = html.size();
                    }
                }
            } else if (tag.name == QLatin1String("br")) {
                out.lineBreak();
            } else if (tag.name == QLatin1String("img") && !tag.closing) {
                result.pictures << tag.attributes.value(QStringLiteral("src"));
            } else if (tag.name == QLatin1String("li")) {
                out.line();
                if (!tag.closing) {
                    out.text(QStringLiteral("- "));
                }
            } else if (tag.name == QLatin1String("td") || tag.name == QLatin1String("th")) {
                out.space();
            } else if (blocks.contains(tag.name)) {
                out.paragraph();
                if (tag.name == QLatin1String("pre")) {
                    preDepth = std::max(0, preDepth + (tag.closing ? -1 : 1));
                    preJustOpened = !tag.closing;
                }
            } else if (lines.contains(tag.name)) {
                out.line();
            }
            continue;
        }
        if (c == u'&') {
            out.text(decodeEntity(html, pos));
            preJustOpened = false;
            continue;
        }
        ++pos;
        const bool blank = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
        if (preDepth > 0 && c == u'\n') {
            // The line break right after <pre> is part of the markup, not of the text.
            if (!preJustOpened) {
                out.lineBreak();
            }
        } else if (preDepth > 0 && c != u'\r') {
            out.text(QString(c));
        } else if (blank) {
            out.space();
        } else {
            out.text(QString(c));
        }
        preJustOpened = false;
    }
    QString text = out.result();
    text.replace(QChar(0xA0), QLatin1Char(' '));
    result.text = normalizedText(text);
    return result;
}

QString plainTextToHtml(const QString& text) {
    const auto line = [](const QString& s) {
        QString out;
        for (qsizetype i = 0; i < s.size(); ++i) {
            const QChar c = s[i];
            if (c == u'&') {
                out += QLatin1String("&amp;");
            } else if (c == u'<') {
                out += QLatin1String("&lt;");
            } else if (c == u'>') {
                out += QLatin1String("&gt;");
            } else if (c == u'\t') {
                out += QLatin1String("&#9;");
            } else if (c == u' ' && (i == 0 || s[i - 1] == u' ' || i + 1 == s.size())) {
                out += QLatin1String("&#160;");
            } else {
                out += c;
            }
        }
        return out;
    };
    // One empty line is a paragraph break; each further one a <br> opening the next paragraph.
    QStringList paragraphs;
    QStringList current;
    int leadingBreaks = 0;
    int emptyLines = 0;
    const auto flush = [&] {
        paragraphs << QStringLiteral("<p>") + QStringLiteral("<br>").repeated(leadingBreaks) +
                          current.join(QLatin1String("<br>")) + QStringLiteral("</p>");
        current.clear();
    };
    for (const QString& l : text.split(QLatin1Char('\n'))) {
        if (l.isEmpty()) {
            ++emptyLines;
            continue;
        }
        if (emptyLines > 0 && !current.isEmpty()) {
            flush();
            leadingBreaks = emptyLines - 1;
        }
        emptyLines = 0;
        current << line(l);
    }
    if (!current.isEmpty()) {
        flush();
    }
    return paragraphs.join(QString());
}

}  // namespace bank
