#pragma once

#include <QJsonArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <memory>

// A real record store on 127.0.0.1 for one test: the npm package scripts/deps installs, run
// with Node, stopped by its PID when the test is done with it.
class LocalLrs {
public:
    struct Options {
        // Only this key and secret are let in; otherwise any credentials are.
        QString key;
        QString secret;
        int port = 0;  // 0: a free one
    };

    LocalLrs();
    explicit LocalLrs(Options options);
    ~LocalLrs();
    LocalLrs(const LocalLrs&) = delete;
    LocalLrs& operator=(const LocalLrs&) = delete;

    // Starts the store and waits until it answers; empty, or why it did not start.
    QString start();
    // Stops it by its PID; the port stays this store's for a later start().
    void stop();

    int port() const { return options_.port; }
    QString endpoint() const;
    // Waits, if need be, until the next `seconds` are clear of the moment this store's paging
    // goes wrong: it pages by its own version-1 UUIDs compared as text, whose leading time field
    // wraps every 2^32 x 100 ns (about 430 s), and statements stored on both sides of a wrap
    // are skipped by later pages. Call before posting what will be read back page by page.
    static void awayFromPagingWrap(int seconds);
    // Every statement the store holds that matches query, read through all of its pages.
    QJsonArray statements(QUrlQuery query = {}) const;

private:
    QByteArray credentials() const;

    Options options_;
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> keys_;
};

// A port nothing listens on at the moment.
int freeLoopbackPort();
