#include "settings/SettingsFiles.h"

#include <QFile>
#include <QtEndian>

namespace {

enum class Rule { Word, Percent, Flag, Cell };

// count consecutive .tra words from tra on; image targets step 2 bytes, cells 1 byte.
struct TraRow {
    int tra;
    int image;
    Rule rule;
    int count = 1;
};

// The .tra words not listed are ignored.
constexpr TraRow TraTable[] = {
    {0, 26, Rule::Flag},       {0, 36, Rule::Flag},        {2, 24, Rule::Word},     {4, 84, Rule::Word},
    {6, 74, Rule::Flag},       {10, 8, Rule::Percent},     {12, 14, Rule::Percent}, {14, 10, Rule::Word},
    {16, 18, Rule::Word},      {18, 106, Rule::Word},      {20, 0, Rule::Percent},  {22, 2, Rule::Percent},
    {24, 4, Rule::Percent},    {26, 128, Rule::Cell, 120}, {266, 22, Rule::Word},   {268, 34, Rule::Word},
    {270, 32, Rule::Word},     {272, 100, Rule::Word},     {274, 98, Rule::Word},   {276, 20, Rule::Word},
    {278, 96, Rule::Word},     {286, 120, Rule::Percent},  {298, 54, Rule::Word},   {300, 60, Rule::Word},
    {302, 112, Rule::Flag, 4},  // left flags of CH1..CH4
    {310, 66, Rule::Flag, 4},   // front flags of CH1..CH4
    {318, 42, Rule::Word},     {320, 64, Rule::Word},      {322, 80, Rule::Word},   {324, 78, Rule::Word},
    {326, 44, Rule::Flag},     {328, 82, Rule::Word},      {330, 6, Rule::Word},    {332, 12, Rule::Word},
    {334, 16, Rule::Word},     {336, 28, Rule::Word},      {338, 30, Rule::Word},   {342, 40, Rule::Word},
    {344, 46, Rule::Word},     {346, 52, Rule::Flag},      {348, 102, Rule::Word},  {350, 104, Rule::Word},
    {352, 122, Rule::Percent}, {354, 76, Rule::Flag},      {356, 48, Rule::Word},   {416, 38, Rule::Flag},
};

// The format has no maximum operating speed; the image gets "no limit".
constexpr int MaxOpSpeedOffset = 86;

constexpr int FirstBlock = 400;
constexpr int SecondBlock = 80;
static_assert(FirstBlock + SecondBlock == TraFileSize);

void apply(const TraRow &row, const uchar *tra, SettingsImage &image)
{
    for (int i = 0; i < row.count; ++i) {
        const quint16 value = qFromLittleEndian<quint16>(tra + row.tra + 2 * i);
        switch (row.rule) {
        case Rule::Word: image.setWord(row.image + 2 * i, value); break;
        case Rule::Percent: image.setWord(row.image + 2 * i, quint16(quint32(value) * 655u)); break;
        case Rule::Flag: image.setWord(row.image + 2 * i, value == 1 ? 0xFFFF : 0x0000); break;
        case Rule::Cell: image.setByte(row.image + i, value == 255 ? '1' : '0'); break;
        }
    }
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

}  // namespace

bool ConvertTraFile(const QString &fileName, qint64 expectedSize, SettingsImage &image, QString *error,
                    bool *accessFault)
{
    if (accessFault)
        *accessFault = false;
    const auto refused = [&](const QFile &file) {
        if (accessFault)
            *accessFault = true;
        return fail(error, file.errorString());
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return refused(file);
    if (file.size() != expectedSize)
        return fail(error,
                    QStringLiteral("the file holds %1 bytes, a .tra file %2").arg(file.size()).arg(expectedSize));
    QByteArray tra = file.read(FirstBlock);
    if (tra.size() != FirstBlock)
        return file.error() != QFile::NoError
                   ? refused(file)
                   : fail(error, QStringLiteral("the file ended after %1 bytes").arg(tra.size()));
    const QByteArray second = file.read(SecondBlock);
    if (second.size() != SecondBlock)
        return file.error() != QFile::NoError
                   ? refused(file)
                   : fail(error, QStringLiteral("the file ended after %1 bytes").arg(FirstBlock + second.size()));
    tra += second;
    // Only now, with both blocks complete, is the image touched.
    const auto *words = reinterpret_cast<const uchar *>(tra.constData());
    for (const TraRow &row : TraTable)
        apply(row, words, image);
    image.setWord(MaxOpSpeedOffset, 0xFFFF);
    return true;
}
