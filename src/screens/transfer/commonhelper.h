#pragma once

#include <QString>

// File sizes as the transfer list shows them, and the folders of the
// documents area.
class CommonHelper
{
public:
    // "1.000000M", "1.000000K", "1023.000000B": the byte count in the text,
    // in the largest unit it reaches, with six decimals.
    static QString getFileSizeString(const QString &size);
    // The byte count a size text stands for ("2K" 2048, "1.5M" 1572864,
    // "512" 512). A unit letter counts only within the first 1000 characters.
    static float getFileSizeNumber(const QString &size);
    static float getProgress(float totalSize, float currentSize);

    // The context's documents folder (the phone's home plus "Documents").
    static QString getDocumentPath();
    static QString getTargetFloderPath();
    static QString getTempFolderPath();
    static bool isExistFile(const QString &path);

    // The leading decimal number of a text (blanks skipped), 0 when none.
    static double leadingNumber(const QString &text);
};
