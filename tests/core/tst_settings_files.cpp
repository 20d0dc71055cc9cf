#include "settings/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <set>
#include <vector>

namespace {
// An image unlike the default, so that "unchanged" means something.
SettingsImage marked()
{
    SettingsImage image;
    for (int i = 0; i < SettingsImage::Size; ++i)
        image.setByte(i, quint8(i * 7 + 3));
    return image;
}

QByteArray traWith(std::initializer_list<std::pair<int, quint16>> words, quint16 fill = 0)
{
    QByteArray tra(int(TraFileSize), '\0');
    for (int off = 0; off < tra.size(); off += 2)
        qToLittleEndian<quint16>(fill, tra.data() + off);
    for (const auto &[off, value] : words)
        qToLittleEndian<quint16>(value, tra.data() + off);
    return tra;
}

// Where each word of a ".tra" file goes, as the format is described, and how it is converted.
enum class Rule { Word, Percent, Flag, Cell };
struct TraRoute {
    int tra;
    Rule rule;
    std::vector<int> image;  // image offsets: words, or cell bytes
};

std::vector<TraRoute> traRoutes()
{
    std::vector<TraRoute> routes = {
        {0, Rule::Flag, {26, 36}}, {2, Rule::Word, {24}},     {4, Rule::Word, {84}},       {6, Rule::Flag, {74}},
        {10, Rule::Percent, {8}},  {12, Rule::Percent, {14}}, {14, Rule::Word, {10}},      {16, Rule::Word, {18}},
        {18, Rule::Word, {106}},   {20, Rule::Percent, {0}},  {22, Rule::Percent, {2}},    {24, Rule::Percent, {4}},
        {266, Rule::Word, {22}},   {268, Rule::Word, {34}},   {270, Rule::Word, {32}},     {272, Rule::Word, {100}},
        {274, Rule::Word, {98}},   {276, Rule::Word, {20}},   {278, Rule::Word, {96}},     {286, Rule::Percent, {120}},
        {298, Rule::Word, {54}},   {300, Rule::Word, {60}},   {302, Rule::Flag, {112}},    {304, Rule::Flag, {114}},
        {306, Rule::Flag, {116}},  {308, Rule::Flag, {118}},  {310, Rule::Flag, {66}},     {312, Rule::Flag, {68}},
        {314, Rule::Flag, {70}},   {316, Rule::Flag, {72}},   {318, Rule::Word, {42}},     {320, Rule::Word, {64}},
        {322, Rule::Word, {80}},   {324, Rule::Word, {78}},   {326, Rule::Flag, {44}},     {328, Rule::Word, {82}},
        {330, Rule::Word, {6}},    {332, Rule::Word, {12}},   {334, Rule::Word, {16}},     {336, Rule::Word, {28}},
        {338, Rule::Word, {30}},   {342, Rule::Word, {40}},   {344, Rule::Word, {46}},     {346, Rule::Flag, {52}},
        {348, Rule::Word, {102}},  {350, Rule::Word, {104}},  {352, Rule::Percent, {122}}, {354, Rule::Flag, {76}},
        {356, Rule::Word, {48}},   {416, Rule::Flag, {38}},
    };
    for (int k = 0; k < 120; ++k)
        routes.push_back({26 + 2 * k, Rule::Cell, {128 + k}});
    return routes;
}

bool traIgnored(int off)
{
    return off == 8 || (off >= 280 && off <= 284) || (off >= 288 && off <= 296) || off == 340 ||
           (off >= 358 && off <= 414) || off >= 418;
}

quint16 traWord(const QByteArray &tra, int off) { return qFromLittleEndian<quint16>(tra.constData() + off); }

// What converting 'tra' onto 'before' must give.
SettingsImage converted(const QByteArray &tra, SettingsImage image)
{
    image.setWord(86, 0xFFFF);
    for (const TraRoute &route : traRoutes()) {
        const quint16 v = traWord(tra, route.tra);
        for (int target : route.image) {
            switch (route.rule) {
            case Rule::Word: image.setWord(target, v); break;
            case Rule::Percent: image.setWord(target, quint16(v * 655u)); break;
            case Rule::Flag: image.setWord(target, v == 1 ? 0xFFFF : 0x0000); break;
            case Rule::Cell: image.setByte(target, v == 255 ? '1' : '0'); break;
            }
        }
    }
    return image;
}
}  // namespace

class TestSettingsFiles : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    void put(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    QByteArray get(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void datFileIsTheImageByteForByte()
    {
        const SettingsImage image = marked();
        QString error;
        QVERIFY(writeDatFile(path("tune.dat"), image, &error));
        QCOMPARE(get("tune.dat"), image.toByteArray());
        QCOMPARE(get("tune.dat").at(0), char(3));
        SettingsImage back;
        QVERIFY(readDatFile(path("tune.dat"), back, &error));
        QCOMPARE(back, image);

        // A tune on a write-protected card still loads.
        QFile::setPermissions(path("tune.dat"), QFile::ReadOwner | QFile::ReadGroup);
        SettingsImage again;
        QVERIFY2(readDatFile(path("tune.dat"), again, &error), qPrintable(error));
        QCOMPARE(again, image);
        QFile::setPermissions(path("tune.dat"), QFile::ReadOwner | QFile::WriteOwner);
    }

    void badDatFilesLeaveTheImageAlone_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {0, 1, 255, 257, 512, 4 << 20})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void badDatFilesLeaveTheImageAlone()
    {
        QFETCH(int, size);
        put("bad.dat", QByteArray(size, '1'));
        SettingsImage image = marked();
        QString error;
        QVERIFY(!readDatFile(path("bad.dat"), image, &error));
        QCOMPARE(image, marked());
        QVERIFY(error.contains(QString::number(size)));
    }

    void unreadableThingsAreRefusedWithTheSystemsReason()
    {
        SettingsImage image = marked();
        QString error;
        QVERIFY(!readDatFile(path("nothing-here.dat"), image, &error));
        QVERIFY2(error.contains("No such file"), qPrintable(error));
        QVERIFY(QDir(m_dir.path()).mkdir("folder.dat"));
        QVERIFY(!readDatFile(path("folder.dat"), image, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!ConvertTraFile(path("folder.dat"), TraFileSize, image, &error));
        QVERIFY(!ConvertTraFile(path("nothing-here.tra"), TraFileSize, image, &error));
        QCOMPARE(image, marked());
    }

    void writesThatCannotHappenTouchNothing()
    {
        QString error;
        QVERIFY(!saveDatFile(path("no/such/folder/tune.dat"), marked(), &error));
        QVERIFY2(error.contains("No such file"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(path("no")));

        QVERIFY(QDir(m_dir.path()).mkpath("dir.dat/inside"));
        QVERIFY(!saveDatFile(path("dir.dat"), marked(), &error));
        QVERIFY2(error.contains("directory"), qPrintable(error));
        QVERIFY(QFileInfo(path("dir.dat/inside")).isDir());
        QVERIFY(!QFileInfo::exists(path("dir.BAK")));
    }

    void saveKeepsThePreviousFileAsBackup()
    {
        put("car.dat", "previous tune");
        put("car.BAK", "older backup");
        QString error;
        QVERIFY2(saveDatFile(path("car.dat"), marked(), &error), qPrintable(error));
        QCOMPARE(get("car.BAK"), QByteArray("previous tune"));
        QCOMPARE(get("car.dat"), marked().toByteArray());
        QCOMPARE(backupFileName(path("car.tra")), path("car.BAK"));

        // Nothing to back up: the save just writes.
        QVERIFY(saveDatFile(path("fresh.dat"), marked(), &error));
        QVERIFY(!QFileInfo::exists(path("fresh.BAK")));
    }

    void failedBackupStopsTheSave()
    {
        put("stuck.dat", "keep me");
        QVERIFY(QDir(m_dir.path()).mkpath("stuck.BAK/inside"));
        QString error;
        QVERIFY(!saveDatFile(path("stuck.dat"), marked(), &error));
        QCOMPARE(error, QString("Unable to create backup file."));
        QCOMPARE(get("stuck.dat"), QByteArray("keep me"));
        QVERIFY(QFileInfo(path("stuck.BAK/inside")).isDir());
    }

    // Each word alone in a file of zeros, with a value that sets it and one that must not: the whole
    // image must come out as the format says, so a word sent to a wrong place or a second place shows.
    void everyTraWordGoesWhereTheFormatSays()
    {
        std::set<int> routed;
        for (const TraRoute &route : traRoutes())
            QVERIFY2(routed.insert(route.tra).second, qPrintable(QString::number(route.tra)));
        for (int off = 0; off < TraFileSize; off += 2)
            QVERIFY2(routed.count(off) != traIgnored(off), qPrintable(QString::number(off)));

        const auto check = [&](const QByteArray &tra, const QString &what) {
            put("route.tra", tra);
            SettingsImage image = marked();
            QString error;
            QVERIFY2(ConvertTraFile(path("route.tra"), TraFileSize, image, &error), qPrintable(error));
            const SettingsImage expected = converted(tra, marked());
            for (int i = 0; i < SettingsImage::Size; ++i)
                QVERIFY2(image.byte(i) == expected.byte(i), qPrintable(QString("%1: image byte %2 is %3, not %4")
                                                                           .arg(what)
                                                                           .arg(i)
                                                                           .arg(image.byte(i), 2, 16, QChar('0'))
                                                                           .arg(expected.byte(i), 2, 16, QChar('0'))));
        };
        for (const TraRoute &route : traRoutes()) {
            quint16 sets = 0;
            quint16 setsNot = 0;
            switch (route.rule) {
            case Rule::Word:
                sets = quint16(0x1100 + route.tra);
                setsNot = 0;
                break;
            case Rule::Percent:
                sets = quint16(90 + route.tra / 2);
                setsNot = 0;
                break;
            case Rule::Flag:
                sets = 1;
                setsNot = 0x0100;
                break;  // 1 read the wrong way round
            case Rule::Cell:
                sets = 255;
                setsNot = 0xFF00;
                break;
            }
            for (quint16 value : {sets, setsNot}) {
                check(traWith({{route.tra, value}}),
                      QString("word %1 = 0x%2").arg(route.tra).arg(value, 4, 16, QChar('0')));
                if (QTest::currentTestFailed())
                    return;
            }
        }
        // Ignored words change nothing, whatever they hold.
        std::initializer_list<std::pair<int, quint16>> junk = {{8, 1},        {280, 1},  {284, 255}, {288, 1},
                                                               {296, 0xBEEF}, {340, 1},  {358, 255}, {414, 1},
                                                               {418, 1},      {478, 255}};
        check(traWith(junk), "ignored words");
        // Every word different at once.
        QByteArray all(int(TraFileSize), '\0');
        for (int off = 0; off < all.size(); off += 2)
            qToLittleEndian<quint16>(quint16(off * 37 + 5), all.data() + off);
        check(all, "every word set");
    }

    void traWordsGoWhereTheTableSays()
    {
        // Ignored words hold junk; they must change nothing.
        QByteArray tra =
            traWith({{0, 1},     {2, 45},     {10, 100},     {12, 101},     {16, 1400},    {26, 255},    {28, 1},
                     {264, 255}, {302, 1},    {304, 0},      {310, 2},      {316, 1},      {324, 12},    {330, 0x1234},
                     {416, 1},   {8, 0xBEEF}, {280, 0xBEEF}, {340, 0xBEEF}, {420, 0xBEEF}, {478, 0xBEEF}});
        put("car.tra", tra);
        SettingsImage image = marked();
        QString error;
        QVERIFY2(ConvertTraFile(path("car.tra"), TraFileSize, image, &error), qPrintable(error));
        auto word = [&](int off) { return image.word(off); };
        QCOMPARE(word(26), 0xFFFF);
        QCOMPARE(word(36), 0xFFFF);
        QCOMPARE(word(24), 45);
        QCOMPARE(word(8), 0xFFDC);   // 100 %
        QCOMPARE(word(14), 0x026B);  // 101 % wraps
        QCOMPARE(word(18), 1400);
        QCOMPARE(image.byte(128), '1');
        QCOMPARE(image.byte(129), '0');  // a cell word of 1 is no spark
        QCOMPARE(image.byte(247), '1');
        QCOMPARE(word(112), 0xFFFF);
        QCOMPARE(word(114), 0x0000);
        QCOMPARE(word(66), 0x0000);  // only 1 sets a flag
        QCOMPARE(word(72), 0xFFFF);
        QCOMPARE(word(78), 12);
        QCOMPARE(word(6), 0x1234);
        QCOMPARE(word(38), 0xFFFF);
        QCOMPARE(word(86), 0xFFFF);
        QCOMPARE(word(0), 0);  // a word of 0 is written, not skipped
        for (int off : {50, 51, 56, 57, 58, 59, 62, 63, 88, 95, 108, 111, 124, 127, 248, 255})
            QCOMPARE(image.byte(off), marked().byte(off));

        put("two.tra", traWith({{0, 2}}));
        QVERIFY(ConvertTraFile(path("two.tra"), TraFileSize, image, &error));
        QCOMPARE(word(26), 0);
        QCOMPARE(word(36), 0);
    }

    void traOfAnyWordsConverts()
    {
        put("ff.tra", traWith({}, 0xFFFF));
        SettingsImage image = marked();
        QString error;
        QVERIFY(ConvertTraFile(path("ff.tra"), TraFileSize, image, &error));
        QCOMPARE(image.word(0), quint16(65535u * 655u));
        QCOMPARE(image.word(26), 0);
        QCOMPARE(image.byte(200), '0');
        QCOMPARE(image.word(54), 0xFFFF);
    }

    void badTraFilesLeaveTheImageAlone()
    {
        for (int size : {0, 1, 400, 479, 481, 960}) {
            put("bad.tra", QByteArray(size, '\1'));
            SettingsImage image = marked();
            QString error;
            QVERIFY(!ConvertTraFile(path("bad.tra"), TraFileSize, image, &error));
            QCOMPARE(image, marked());
            QVERIFY(error.contains(QString::number(size)));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settings_files.moc"
