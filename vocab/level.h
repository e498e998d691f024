#pragma once

#include <string>

// One of the 20 blocks of 50 consecutive words.
struct Level
{
    static constexpr int kCount = 20;
    static constexpr int kSize = 50;

    int number = 1;
    int firstWord = 1;
    int lastWord = kSize;

    // Level n (1..20): words 50(n-1)+1 .. 50n.
    static Level FromNumber(int n);

    // "       French Vocabulary (first - last)", seven leading blanks.
    std::u16string Title() const;
};
