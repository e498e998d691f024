#pragma once

class QKeyEvent;

// The keys of the top row that answer on a French (AZERTY) keyboard, where
// the digit keys give & é " ' without Shift. The digits themselves (top row
// with or without Shift, keypad) are bound as shortcuts elsewhere.
class AnswerKeys
{
public:
    // 0..3 for & é " ' pressed without a modifier on the top row's first four
    // digit keys, -1 for anything else: an apostrophe or a quote typed
    // elsewhere (as on a US keyboard) keeps its meaning.
    static int FrenchTopRow(const QKeyEvent &event);
    // 0..3 for any key that answers: a digit 1-4 or FrenchTopRow.
    static int Answer(const QKeyEvent &event);
};
