#include "xapi/json_text.h"

#include <QString>

namespace xapi {

void JsonText::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_) {
        out_ += ',';
    }
    first_ = false;
}

JsonText& JsonText::open(char bracket) {
    separate();
    out_ += bracket;
    first_ = true;
    return *this;
}

JsonText& JsonText::close(char bracket) {
    out_ += bracket;
    first_ = false;
    return *this;
}

JsonText& JsonText::key(const char* name) {
    separate();
    out_ += '"';
    out_ += name;
    out_ += "\":";
    afterKey_ = true;
    return *this;
}

JsonText& JsonText::text(QStringView value) {
    separate();
    static constexpr char kHex[] = "0123456789abcdef";
    const QByteArray utf8 = value.toUtf8();
    out_.reserve(out_.size() + utf8.size() + 2);
    out_ += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out_ += '\\';
            out_ += c;
        } else if (u < 0x20) {
            out_ += "\\u00";
            out_ += kHex[u >> 4];
            out_ += kHex[u & 0xf];
        } else {
            out_ += c;
        }
    }
    out_ += '"';
    return *this;
}

JsonText& JsonText::number(qint64 value) {
    separate();
    out_ += QByteArray::number(value);
    return *this;
}

JsonText& JsonText::number(double value) {
    separate();
    out_ += QByteArray::number(value, 'g', 15);
    return *this;
}

JsonText& JsonText::boolean(bool value) {
    separate();
    out_ += value ? "true" : "false";
    return *this;
}

JsonText& JsonText::raw(const QByteArray& json) {
    separate();
    out_ += json;
    return *this;
}

}  // namespace xapi
