#pragma once
// The texts the tool reads in manage-bde's output, once per language edition of Windows: the
// Chinese (Simplified) one and the English one. Which edition an answer is in is read from the answer
// itself (its first line, the tool's banner), never from the machine's locale: a Windows may show
// one language and format in another. Portable (no Windows API).
#include <string>

struct BdeEdition
{
    const wchar_t* banner;      // how the first line of every answer begins
    const wchar_t* listHeader;  // the line of "-status" right before the volume blocks
    // A volume block opens with a line that begins with it, the name follows ("卷 C: [OS]").
    const wchar_t* volumeMarker;
    const wchar_t* conversionLabel;
    const wchar_t* percentageLabel;
    const wchar_t* methodLabel;
    // In every conversion status of a volume that is decrypted or being decrypted (fully decrypted,
    // decryption in progress, decryption paused), in no other: such a volume is not offered.
    const wchar_t* decryptWord;
    const wchar_t* errorPrefix;        // every error line begins with it
    const wchar_t* noProtector;        // the error of "-protectors -get" on a volume without protectors
    const wchar_t* numericalPassword;  // the heading of the protector that holds the recovery password
    const wchar_t* unlocked;           // "-unlock" succeeded
    const wchar_t* decrypting;         // "-off" succeeded: decryption has started
};

// The edition an answer is written in: the one whose banner begins its first line that begins with a
// banner; an answer without a banner (a capture cut short at the front) by the first line that is a
// list header. Null when neither edition is recognised.
const BdeEdition* EditionOf(const std::wstring& output);

// The position right after the first line whose text, leading blanks skipped, begins with `prefix`
// (the whole line when `wholeLine`), searching from `from`; npos when there is none.
size_t FindLine(const std::wstring& text, const std::wstring& prefix, bool wholeLine, size_t from = 0);

// True when the answer, in the edition it is written in, has a line that begins with the edition's
// `marker` and no error line: labels and other text inside a line never count.
bool ReportsSuccess(const std::wstring& output, const wchar_t* BdeEdition::*marker);

// True when a line of the answer, after the edition's error prefix if it has one, begins with the
// text that says the volume has no key protector.
bool ReportsNoProtector(const std::wstring& output);
