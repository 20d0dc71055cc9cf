#include "settings/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace
{
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
} // namespace

class TestSettingsFiles : public QObject
{
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

    void traWordsGoWhereTheTableSays()
    {
        // Ignored words hold junk; they must change nothing.
        QByteArray tra = traWith({{0, 1},      {2, 45},     {10, 100},   {12, 101},  {16, 1400},
                                  {26, 255},   {28, 1},     {264, 255},  {302, 1},   {304, 0},
                                  {310, 2},    {316, 1},    {324, 12},   {330, 0x1234}, {416, 1},
                                  {8, 0xBEEF}, {280, 0xBEEF}, {340, 0xBEEF}, {420, 0xBEEF}, {478, 0xBEEF}});
        put("car.tra", tra);
        SettingsImage image = marked();
        QString error;
        QVERIFY2(ConvertTraFile(path("car.tra"), TraFileSize, image, &error), qPrintable(error));
        auto word = [&](int off) { return image.word(off); };
        QCOMPARE(word(26), 0xFFFF);
        QCOMPARE(word(36), 0xFFFF);
        QCOMPARE(word(24), 45);
        QCOMPARE(word(8), 0xFFDC);  // 100 %
        QCOMPARE(word(14), 0x026B); // 101 % wraps
        QCOMPARE(word(18), 1400);
        QCOMPARE(image.byte(128), '1');
        QCOMPARE(image.byte(129), '0'); // a cell word of 1 is no spark
        QCOMPARE(image.byte(247), '1');
        QCOMPARE(word(112), 0xFFFF);
        QCOMPARE(word(114), 0x0000);
        QCOMPARE(word(66), 0x0000); // only 1 sets a flag
        QCOMPARE(word(72), 0xFFFF);
        QCOMPARE(word(78), 12);
        QCOMPARE(word(6), 0x1234);
        QCOMPARE(word(38), 0xFFFF);
        QCOMPARE(word(86), 0xFFFF);
        QCOMPARE(word(0), 0); // a word of 0 is written, not skipped
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
