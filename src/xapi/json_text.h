#pragma once

#include <QByteArray>
#include <QStringView>

namespace xapi {

// Compact JSON text written straight out, commas and escapes included: an exam's statements are
// written in a fraction of the time a tree of JSON objects takes to build and then serialize.
class JsonText {
public:
    JsonText& open(char bracket);  // '{' or '['
    JsonText& close(char bracket);
    JsonText& key(const char* name);  // a plain ASCII name
    JsonText& text(QStringView value);
    JsonText& number(qint64 value);
    JsonText& number(double value);
    JsonText& boolean(bool value);
    // A value written before, e.g. a part every statement of an attempt shares.
    JsonText& raw(const QByteArray& json);

    QByteArray take() { return std::move(out_); }

private:
    void separate();

    QByteArray out_;
    bool first_ = true;  // nothing in the open object or array yet
    bool afterKey_ = false;
};

}  // namespace xapi
