#pragma once

#include "settings/FieldTable.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

// The result of reading a page entry back: the word to store, or the message to show.
struct WordParse {
    bool ok = false;
    quint16 word = 0;
    QString error;  // "'12.5' is not a valid integer value"

    static WordParse success(quint16 w) { return {true, w, {}}; }
    static WordParse failure(QString message) { return {false, 0, std::move(message)}; }
};

// Text of an edit box for a word: Hundredths "14.00", Tenths "2.0", Whole and Integer "4500".
// The decimal separator is the locale's.
QString wordToText(FieldForm form, quint16 word, const QLocale &locale = QLocale());

// Reads an edit box back, exactly in decimal: the value times the form's scale, fraction
// dropped toward zero, low 16 bits of the result (a pasted -1 gives 0xFFFF).
// Integer fields take whole numbers only. Fails on anything that is not a number.
WordParse textToWord(FieldForm form, QStringView text, const QLocale &locale = QLocale());

// Percent sliders: position and caption are word div 655; the caption is stored times 655.
constexpr int percentFromWord(quint16 word) { return word / 655; }
constexpr quint16 wordFromPercent(qint64 caption) { return quint16(quint64(caption) * 655u); }
// The caption is read as a whole number.
WordParse percentCaptionToWord(QStringView caption);

// Flag bytes and cut-pattern cells as the pages show them.
constexpr bool flagShownOn(quint8 flag) { return flag != 0x00; }
constexpr quint8 flagByte(bool on) { return on ? 0xFF : 0x00; }
constexpr bool cellShownSpark(quint8 cell) { return cell == '1'; }
constexpr quint8 cellByte(bool spark) { return spark ? '1' : '0'; }

// Data-logger sample rate: the fifteen list items and their codes.
constexpr int RateCount = 15;
const QStringList &rateItems();  // "244Hz" .. "5Hz"
// List position of a code, or -1 when the code falls past the last item (48 and above).
int ratePositionFromCode(quint16 code);
// Code stored for a list position; no choice (or an invalid one) stores 0.
quint16 rateCodeFromPosition(int position);

// Wheel sensor channels CH1..CH4 (n = 0..3).
constexpr int ChannelCount = 4;
constexpr int channelFrontOffset(int n) { return 66 + 2 * n; }
constexpr int channelLeftOffset(int n) { return 112 + 2 * n; }
const QStringList &channelItems();  // "CH1" .. "CH4"
// Position of a channel list's text among its items, -1 when it is none of them.
int channelFromText(QStringView text);

struct ChannelFlags {
    quint8 front;
    quint8 left;
};
// Only 0xFF counts as set when the image is shown.
Wheel wheelOfChannel(quint8 front, quint8 left);
ChannelFlags channelFlagsOf(Wheel wheel);
