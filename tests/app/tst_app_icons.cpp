#include "widgets/AppIcons.h"
#include "app/MainActions.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QSet>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Share of pixels of a rendering that are drawn at all, and how many distinct colours it uses.
struct Coverage {
    double drawn = 0;
    int colours = 0;
};

Coverage coverage(const QImage &image)
{
    int drawn = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) > 32) {
                ++drawn;
                colours.insert(px | 0x0F0F0F);  // ignore anti-aliasing noise
            }
        }
    return {double(drawn) / (image.width() * image.height()), int(colours.size())};
}

QImage render(const QIcon &icon) { return icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32); }

}  // namespace

class TestAppIcons : public QObject {
    Q_OBJECT
private slots:
    void init() { QIcon::setThemeName(QString()); }

    // Offscreen and on many desktops there is no theme: every action must still show a picture.
    void everyActionHasItsOwnPicture()
    {
        QSet<QByteArray> seen;
        for (const ActionRow &row : mainActionTable()) {
            const QString file = QStringLiteral(":/widgets/icons/%1.svg").arg(QLatin1String(row.iconFile));
            QFile svg(file);
            appIcon("", row.iconFile);  // registers the pictures
            QVERIFY2(svg.open(QIODevice::ReadOnly), qPrintable(file));
            const QByteArray bytes = svg.readAll();
            QVERIFY2(!seen.contains(bytes), row.name);
            seen.insert(bytes);
            QSvgRenderer renderer(bytes);
            QVERIFY2(renderer.isValid(), row.name);
            QCOMPARE(renderer.viewBox(), QRect(0, 0, 24, 24));
            const Coverage c = coverage(render(appIcon(row.themeIcon, row.iconFile)));
            QVERIFY2(c.drawn > 0.2 && c.drawn < 0.95, qPrintable(QStringLiteral("%1: %2").arg(row.name).arg(c.drawn)));
            QVERIFY2(c.colours >= 3, row.name);
        }
    }

    void theThemeWinsWhereItHasTheName()
    {
        QTemporaryDir dir;
        const QString theme = dir.path() + QStringLiteral("/probe");
        QVERIFY(QDir().mkpath(theme + QStringLiteral("/24x24/actions")));
        QFile index(theme + QStringLiteral("/index.theme"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=probe\nDirectories=24x24/actions\n\n[24x24/actions]\nSize=24\nType=Fixed\n");
        index.close();
        QImage red(24, 24, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(theme + QStringLiteral("/24x24/actions/document-open.png")));
        QIcon::setThemeSearchPaths({dir.path()});
        QIcon::setThemeName(QStringLiteral("probe"));

        QCOMPARE(render(appIcon("document-open", "open")).pixel(12, 12), QColor(Qt::red).rgba());
        // A name the theme lacks, and an action with no theme name, fall back to the shipped picture.
        QVERIFY(render(appIcon("document-save", "save")).pixel(12, 12) != QColor(Qt::red).rgba());
        QVERIFY(coverage(render(appIcon("document-save", "save"))).colours >= 3);
        QVERIFY(coverage(render(appIcon("", "lock"))).colours >= 3);
    }
};

QTEST_MAIN(TestAppIcons)
#include "tst_app_icons.moc"
