#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/prompts.h"
#include "fake_key_reader.h"
#include "help/get_key_value.h"
#include "help/ini_key_reader.h"
#include "help/system_info.h"

using help::RawValue;

namespace {

// Records every program start; answers with the given success.
struct StartRecorder {
    bool succeeds = true;
    QStringList started;
    help::ProgramStarter starter() {
        return [this](const QString& program) {
            started << program;
            return succeeds;
        };
    }
};

bool touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

}  // namespace

class TestSystemInfo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyValueBytes_data();
    void keyValueBytes();
    void missingValueIsNotFound();
    void lookups_data();
    void lookups();
    void iniStoreReadsSameKeys();
};

void TestSystemInfo::keyValueBytes_data() {
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("string with its terminating zero")
        << help::kStringValue << QByteArray("C:\\Tools\0", 9) << "C:\\Tools";
    QTest::newRow("string stored without terminating zero")
        << help::kStringValue << QByteArray("C:\\Tools") << "C:\\Tools";
    QTest::newRow("only one terminating zero is dropped")
        << help::kStringValue << QByteArray("ab\0\0", 4) << QString::fromLatin1("ab\0", 3);
    QTest::newRow("empty string") << help::kStringValue << QByteArray("\0", 1) << "";
    // 0x0000010A: the low byte's leading zero must survive (a lone "A" would read 0x1A).
    QTest::newRow("number with a zero-led byte")
        << help::kDWordValue << QByteArray("\x0A\x01\x00\x00", 4) << "266";
    QTest::newRow("number with every byte used")
        << help::kDWordValue << QByteArray("\x04\x03\x02\x01", 4) << "16909060";
    QTest::newRow("number above the signed range")
        << help::kDWordValue << QByteArray("\xFF\xFF\xFF\xFF", 4) << "4294967295";
    QTest::newRow("number zero") << help::kDWordValue << QByteArray(4, '\0') << "0";
    QTest::newRow("number too long to be one")
        << help::kDWordValue << QByteArray("\x01\x02\x03\x04\x05", 5) << "";
    QTest::newRow("other type") << quint32(3) << QByteArray("\x01\x02", 2) << "";
}

void TestSystemInfo::keyValueBytes() {
    QFETCH(quint32, type);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    FakeKeyReader store;
    store.set(QStringLiteral("K"), QStringLiteral("V"), RawValue{type, bytes});

    const help::KeyValue value = help::GetKeyValue(store, QStringLiteral("K"), QStringLiteral("V"));

    QVERIFY(value.found);
    QCOMPARE(value.text, expected);
}

void TestSystemInfo::missingValueIsNotFound() {
    FakeKeyReader store;
    store.set(QStringLiteral("K"), QStringLiteral("Big"),
              RawValue{help::kStringValue, QByteArray(1025, 'x')});
    for (const char* name : {"Absent", "Big"}) {
        const help::KeyValue value =
            help::GetKeyValue(store, QStringLiteral("K"), QLatin1String(name));
        QVERIFY2(!value.found, name);
        QVERIFY(value.text.isEmpty());
    }
}

void TestSystemInfo::lookups_data() {
    QTest::addColumn<QString>("path");  // null: no PATH value
    QTest::addColumn<bool>("hasFolder");
    QTest::addColumn<bool>("hasProgramFile");
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QString>("started");  // "folder" stands for the folder's program file

    // PATH wins over MSINFO and is believed as it stands: no existence test.
    QTest::newRow("PATH present") << "/nowhere/sys info" << true << true << true
                                  << "/nowhere/sys info";
    QTest::newRow("only MSINFO, program in its folder")
        << QString() << true << true << true << "folder";
    QTest::newRow("only MSINFO, no program file")
        << QString() << true << false << true << QString();
    QTest::newRow("nothing registered") << QString() << false << false << true << QString();
    QTest::newRow("start fails") << "/opt/sysinfo" << false << false << false << "/opt/sysinfo";
    QTest::newRow("empty PATH is no program") << "" << false << false << true << QString();
}

void TestSystemInfo::lookups() {
    QFETCH(QString, path);
    QFETCH(bool, hasFolder);
    QFETCH(bool, hasProgramFile);
    QFETCH(bool, startSucceeds);
    QFETCH(QString, started);
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("MSINFO32.EXE"));
    if (hasProgramFile) {
        QVERIFY(touch(program));
    }
    FakeKeyReader store;
    if (!path.isNull()) {
        store.setString(kMsinfoKey, QStringLiteral("Path"), path);
    }
    if (hasFolder) {
        store.setString(kLocationKey, QStringLiteral("MSINFO"), folder.path());
    }
    StartRecorder recorder;
    recorder.succeeds = startSucceeds;
    prompts::Script script;

    help::StartSysInfo(store, recorder.starter());

    const QStringList expectedStarts = started.isNull()                     ? QStringList()
                                       : started == QLatin1String("folder") ? QStringList{program}
                                                                            : QStringList{started};
    QCOMPARE(recorder.started, expectedStarts);
    if (!path.isNull()) {
        QCOMPARE(store.reads, 1);
    }
    if (!started.isNull() && startSucceeds) {
        QVERIFY(script.shown().empty());
    } else {
        QCOMPARE(script.texts(), QStringList{help::kSysInfoUnavailable});
        QCOMPARE(script.shown().front().title, QStringLiteral("Praxilo"));
        QCOMPARE(script.shown().front().buttons, prompts::Buttons::OkOnly);
    }
}

void TestSystemInfo::iniStoreReadsSameKeys() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sysinfo.ini"));
    QFile ini(file);
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Text));
    ini.write(
        "[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
        "PATH=/usr/local/bin/sys info\n"
        "[SOFTWARE\\Microsoft\\Shared Tools Location]\n"
        "MSINFO=\"C:\\\\Program Files\\\\Tools, shared\"\n"
        "Split=a, b\n");
    ini.close();
    const help::IniKeyReader store(file);

    const help::KeyValue path =
        help::GetKeyValue(store, kMsinfoKey.toLower(), QStringLiteral("path"));
    QVERIFY(path.found);
    QCOMPARE(path.text, QStringLiteral("/usr/local/bin/sys info"));
    QCOMPARE(help::GetKeyValue(store, kLocationKey, QStringLiteral("MSINFO")).text,
             QStringLiteral("C:\\Program Files\\Tools, shared"));
    QCOMPARE(help::GetKeyValue(store, kLocationKey, QStringLiteral("Split")).text,
             QStringLiteral("a,b"));
    QVERIFY(!help::GetKeyValue(store, kLocationKey, QStringLiteral("PATH")).found);

    // No file, no values: the lookup then ends in its message.
    QVERIFY(!help::GetKeyValue(help::IniKeyReader(dir.filePath(QStringLiteral("absent.ini"))),
                               kMsinfoKey, QStringLiteral("PATH"))
                 .found);
}

QTEST_MAIN(TestSystemInfo)
#include "tst_system_info.moc"
