// Verify after writing, the read of the unit for a comparison, and the image kept of the unit,
// against the simulated unit on a pseudo-terminal.
#include "RecorderHost.h"
#include "SimUnit.h"
#include "link/TractionLink.h"

#include <QRegularExpression>
#include <QTest>

namespace {

QByteArray pattern(int salt)
{
    QByteArray b(256, '\0');
    for (int i = 0; i < 256; ++i)
        b[i] = char((i * 13 + salt) & 0xFF);
    return b;
}

// Records what a failed verify handed over.
class VerifyHost : public RecorderHost {
public:
    QList<SettingChange> differences;
    bool answered = true;
    int verifyFailures = 0;
    void verifyFailed(const QList<SettingChange> &d, bool a) override
    {
        differences = d;
        answered = a;
        ++verifyFailures;
        events << QStringLiteral("verifyFailed");
    }
};

// The bytes of one Write Settings as the Part has it: menu returns, the version, 'W' 'Y', the
// image, 'E', 'W' and the return from the wheel-speed screen. Nothing else.
QRegularExpression plainWrite(const QByteArray &image)
{
    return QRegularExpression(QStringLiteral("^(1b|44|45)*1b4f(1b|44|45)*1b5759") + QString::fromLatin1(image.toHex()) +
                              QStringLiteral("455744(1b|44|45)*1b$"));
}

}  // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT
private slots:
    // Off, the wire carries exactly the Part's write; on, the same followed by a read-back.
    void verifyOffKeepsTheWriteAsItWasOnAddsAReadBack()
    {
        const SettingsImage meant = SettingsImage::fromBytes(pattern(77));
        for (const bool verify : {false, true}) {
            SimUnit unit({"--fast"}, pattern(1));
            QVERIFY(unit.ok());
            VerifyHost host;
            host.pages = meant;
            TractionLink link(host);
            link.sequences().setVerifyAfterWrite(verify);
            QVERIFY(link.Comm1().open(unit.path));

            QVERIFY(link.WriteToTraction());
            QCOMPARE(unit.memory(), pattern(77));
            QVERIFY(!host.modified && !host.locked);
            QCOMPARE(host.verifyFailures, 0);
            const QString sent = QString::fromLatin1(unit.received().toHex());
            if (!verify) {
                QVERIFY2(plainWrite(meant.toByteArray()).match(sent).hasMatch(), qPrintable(sent));
                QCOMPARE(host.lastStatus, QStringLiteral("Traction memory written OK"));
                continue;
            }
            // The write, then the version and 'R' as Read Settings sends them.
            const QString written = QStringLiteral("5759") + QString::fromLatin1(meant.toByteArray().toHex());
            QVERIFY(sent.contains(written));
            const qsizetype end = sent.indexOf(written) + written.size() + 4;
            QCOMPARE(sent.mid(end - 4, 4), QStringLiteral("4557"));
            QVERIFY2(QRegularExpression(QStringLiteral("^44(1b|44|45)*1b4f(1b|44|45)*1b52(1b|44|45)*1b$"))
                         .match(sent.mid(end))
                         .hasMatch(),
                     qPrintable(sent.mid(end)));
            QVERIFY(host.events.contains(QStringLiteral("status:Traction memory written OK")));
            QVERIFY(host.events.contains(QStringLiteral("activity:Verifying traction memory")));
            QCOMPARE(host.lastStatus, QStringLiteral("Traction memory verified OK"));
            QVERIFY(!host.lastStatusError);
            // The read-back does not touch what was sent.
            QCOMPARE(host.image, meant);
            QCOMPARE(host.progress, 326);
            QCOMPARE(host.events.last(), QStringLiteral("unlock"));
        }
    }

    // A unit that stores one byte wrong: the write says so, names the field, and the pages keep
    // what the user meant to write, still marked modified.
    void verifyCatchesAUnitThatStoresSomethingElse()
    {
        SimUnit unit({"--fast", "--alter-on-write", "19"});
        QVERIFY(unit.ok());
        VerifyHost host;
        host.pages.setWord(18, 1500);
        TractionLink link(host);
        link.sequences().setVerifyAfterWrite(true);
        QVERIFY(link.Comm1().open(unit.path));

        QVERIFY(!link.WriteToTraction());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : verify failed"));
        QVERIFY(host.lastStatusError);
        QVERIFY(host.modified);
        QVERIFY(!host.locked);
        QCOMPARE(host.verifyFailures, 1);
        QVERIFY(host.answered);
        QCOMPARE(host.differences.size(), 1);
        QCOMPARE(host.differences[0].line(),
                 QStringLiteral("Configuration / Minimum operating thresholds / Speed: 15.00 -> 15.01 Kmh"));
        QCOMPARE(host.image.word(18), quint16(1500));
        // The unit's settings as they now are, for the next comparison.
        QVERIFY(link.state().UnitImage.has_value());
        QCOMPARE(link.state().UnitImage->toByteArray(), unit.memory());
        QCOMPARE(link.state().UnitImage->word(18), quint16(1501));
        // The box comes once the menus are free again.
        QCOMPARE(host.events.last(), QStringLiteral("verifyFailed"));
    }

    // A unit that falls silent after taking the image: not verified, and said so.
    void aReadBackWithoutAnswerFailsTheVerify()
    {
        SimUnit unit({"--fast", "--ignore-keys", "R"});
        QVERIFY(unit.ok());
        VerifyHost host;
        TractionLink link(host);
        link.sequences().setVerifyAfterWrite(true);
        QVERIFY(link.Comm1().open(unit.path));
        QVERIFY(!link.WriteToTraction());
        QCOMPARE(host.lastStatus, QStringLiteral("Error : verify failed"));
        QVERIFY(!host.answered);
        QVERIFY(host.differences.isEmpty());
        QVERIFY(host.modified);
        QVERIFY(!link.state().UnitImage.has_value());
    }

    // The unit read for a comparison leaves TractionMemory, the pages and the Modified mark alone,
    // and is what the link knows of the unit from then on, until a port opens again.
    void readingForAComparisonChangesNothingButTheKnownImage()
    {
        SimUnit unit({"--fast"}, pattern(5));
        QVERIFY(unit.ok());
        VerifyHost host;
        host.image = SettingsImage::fromBytes(pattern(9));
        host.modified = true;
        TractionLink link(host);
        QVERIFY(link.Comm1().open(unit.path));
        QVERIFY(!link.state().UnitImage.has_value());

        SettingsImage read;
        QVERIFY(link.ReadUnitImage(read));
        QCOMPARE(read.toByteArray(), pattern(5));
        QCOMPARE(host.image.toByteArray(), pattern(9));
        QVERIFY(!host.events.contains(QStringLiteral("fill")));
        QVERIFY(host.modified);
        QVERIFY(!host.locked);
        QCOMPARE(host.lastStatus, QStringLiteral("Traction memory read OK"));
        QCOMPARE(link.state().UnitImage->toByteArray(), pattern(5));

        // A Read Settings replaces it; so does a write.
        QVERIFY(link.ReadFromTraction());
        QCOMPARE(link.state().UnitImage->toByteArray(), pattern(5));
        host.pages = SettingsImage::fromBytes(pattern(6));
        QVERIFY(link.WriteToTraction());
        QCOMPARE(link.state().UnitImage->toByteArray(), pattern(6));

        // A failed read keeps the caller's image and forgets nothing.
        SimUnit partial({"--fast", "--partial-image", "100"}, pattern(7));
        QVERIFY(partial.ok());
        QVERIFY(link.Comm1().open(partial.path));
        QVERIFY(!link.state().UnitImage.has_value());
        SettingsImage kept = SettingsImage::fromBytes(pattern(8));
        QVERIFY(!link.ReadUnitImage(kept));
        QCOMPARE(kept.toByteArray(), pattern(8));
        QCOMPARE(host.lastStatus, QStringLiteral("Error : reading traction memory"));
        QVERIFY(!link.state().UnitImage.has_value());
    }
};

QTEST_MAIN(TestSafeWrite)
#include "tst_safe_write.moc"
