// TNumericEdit: an edit control for one whole number, kept between MinValue and MaxValue. Edits
// that leave text which is not a number are undone; numbers outside the range are refused with a
// message box and undone. ReadNumericText is the pure reading of a text.
#pragma once
#include <climits>
#include <functional>
#include <string>

#include "Forms.h"

enum class NumericVerdict {
    Empty,      // no text: the value becomes 0, raised to the minimum
    TooLong,    // 11 characters or more: undone
    NotNumber,  // characters left over after the number: undone without a message
    OutOfRange, // a number outside [minimum, maximum]: the range box, then undone
    Accepted,
};

struct NumericReading {
    NumericVerdict verdict;
    int value; // the number read (Empty: the value the control takes)
};

// The text read as strtol reads base 10 (leading white space, one sign, numbers beyond 32 bits
// taken as the nearest limit).
NumericReading ReadNumericText(const std::string& text, int minValue, int maxValue);

// "%d～%dの範囲で値を入力してください" filled with the range.
std::string RangeMessage(int minValue, int maxValue);

class TNumericEdit {
public:
    // Takes over the edit's change event; the text becomes "0".
    explicit TNumericEdit(forms::Edit& edit);
    TNumericEdit(const TNumericEdit&) = delete;
    TNumericEdit& operator=(const TNumericEdit&) = delete;
    virtual ~TNumericEdit() = default;

    int Value() const { return value; }
    int MinValue() const { return minValue; }
    int MaxValue() const { return maxValue; }
    // Ignored outside [MinValue, MaxValue]; otherwise the text becomes the number, which raises
    // OnChange.
    virtual void SetValue(int v);
    // Ignored above MaxValue; a minimum at or above the value sets the value to it.
    virtual void SetMinValue(int v);
    // Ignored below MinValue; a maximum at or below the value sets the value to it.
    virtual void SetMaxValue(int v);

    forms::Edit& Control() const { return edit; }
    std::function<void()> OnChange;

protected:
    // Runs after every change of the text.
    virtual void Change();

private:
    void UndoEdit();

    forms::Edit& edit;
    int value = 0;
    int minValue = INT_MIN;
    int maxValue = INT_MAX;
    bool undoing = false;
    bool restoreNeeded = false;
};
